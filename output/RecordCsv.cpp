#include "output/RecordCsv.h"

#include "dmm/ReadingValue.h"
#include "files/DmmRecordFormat.h"
#include "output/Csv.h"

namespace qv::output {
namespace {

constexpr int kHeaderLines = 5; ///< header, date, time, model and title, an empty line
constexpr int kModelLine = 4;
constexpr std::string_view kRecordMark = " DMM Record: ";

/// The next line of text without its line end (CR LF, LF or CR); text moves past it.
std::string_view nextLine(std::string_view &text) {
    const auto end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
        return line;
    }
    const size_t skip = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    text.remove_prefix(end + skip);
    return line;
}

} // namespace

std::string recordCsvRow(std::string_view line) {
    if (const auto parsed = dmm::parseLogLine(line)) {
        const dmm::ReadingValue value = dmm::parseReading(parsed->reading);
        return Csv::field(parsed->time) + "," + Csv::number(value.value) + "," +
               Csv::field(value.unit) + "," + Csv::field(parsed->reading);
    }
    return ",,," + Csv::field(line);
}

std::string recordCsv(std::string_view logText) {
    std::string out(kRecordCsvHeader);
    out += Csv::kLineEnd;
    while (!logText.empty()) {
        const std::string_view line = nextLine(logText);
        if (line.find_first_not_of(' ') == std::string_view::npos)
            continue;
        out += recordCsvRow(line);
        out += Csv::kLineEnd;
    }
    return out;
}

std::optional<std::string> logOfRecordFile(std::string_view fileText) {
    if (nextLine(fileText) != files::DmmRecordFormat::kHeader)
        return std::nullopt;
    // Line 4 names the model and the title; a waveform file, with the same first line, has its
    // date there.
    for (int i = 2; i <= kHeaderLines; ++i) {
        if (fileText.empty())
            return std::nullopt;
        const std::string_view line = nextLine(fileText);
        if (i == kModelLine && line.find(kRecordMark) == std::string_view::npos)
            return std::nullopt;
    }
    return std::string(fileText);
}

} // namespace qv::output
