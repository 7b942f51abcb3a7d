#pragma once
#include <string>
#include <string_view>

namespace qv::files {

/// The DMM record file: header, date and time of saving, "<model> DMM Record: <title>", an
/// empty line, then the log text (its lines already end in CR LF) and one more CR LF.
class DmmRecordFormat {
  public:
    static constexpr std::string_view kHeader = "QVDATALINK47 V1.0";

    struct Content {
        std::string date;      ///< short date of saving
        std::string time;      ///< long time of saving
        std::string modelName; ///< MeterModelName
        std::string title;     ///< text of the title box
        std::string log;       ///< the log box's text
    };

    /// The file's text, UTF-8 before conversion to the system code page.
    [[nodiscard]] static std::string compose(const Content &content);
};

} // namespace qv::files
