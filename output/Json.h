#pragma once
#include "common/Form.h"
#include "dso/Measurements.h"
#include "output/MeasurementRows.h"
#include "output/WaveformCsv.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::output::json {

/// A JSON string: bytes that are no UTF-8 (a file name in another encoding) become U+FFFD.
[[nodiscard]] std::string string(std::string_view bytes);
/// A number as the CSV writes it; null when there is none or it is not finite.
[[nodiscard]] std::string number(std::optional<double> v);
/// {"text": ..., "value": ..., "unit": ...}
[[nodiscard]] std::string quantity(const std::string &text, std::optional<double> value,
                                   std::string_view unit);

/// One member of an object: its key and its value as JSON.
struct Member {
    std::string key;
    std::string value;
};
/// The members as an object: compact ({"a":1,"b":2}) without an indent, else one member a line
/// at indent + 2 blanks, the closing brace at indent.
[[nodiscard]] std::string object(const std::vector<Member> &members, std::string_view indent);

/// The waveform CSV's header settings: texts as strings, numbers as numbers (null when unknown),
/// scales as quantities in SI units.
[[nodiscard]] std::vector<Member> settings(const common::Form &form);
/// One of the five measurements of the scope screen: the text shown ("781.25 kHz", "??") and
/// its value in SI units (none for "??" or a gain the tables lack).
struct Measured {
    const char *name;
    std::string text;
    std::optional<double> value;
    std::string_view unit; ///< "V", "dB" or "Hz"
};
[[nodiscard]] std::vector<Measured> measured(const common::Form &form, const dso::Measurements &m);
/// The five measurements as quantities.
[[nodiscard]] std::vector<Member> measurements(const common::Form &form,
                                               const dso::Measurements &m);
/// The measurements of the trace as quantities; one without a value has `why`.
[[nodiscard]] std::vector<Member> waveMeasurements(const common::Form &form);

} // namespace qv::output::json
