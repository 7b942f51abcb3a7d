#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qv::dmm {

/// A reading as a number: the value field read as a decimal number (none when the meter showed
/// no number, e.g. "OL" or blanks) and the unit field as shown, without surrounding blanks.
struct ReadingValue {
    std::optional<double> value;
    std::string unit;
};

/// The number and unit of the meter's 16-character display text (characters 1..6 the value with
/// sign and decimal point, 7..16 the unit and annotations).
[[nodiscard]] ReadingValue parseReading(std::string_view reading);

/// One line of the record log: its time (or play-back record mark) and the meter's text.
struct LogLine {
    std::string time;    ///< "14:03:27" for a timed line, "No.5" for a play-back line
    std::string reading; ///< the meter's 16 characters as they were shown
};

/// Splits a record log line, with or without its CR LF: "  <time>    <6 chars> <10 chars>" for a
/// timed line, "  No.<n>:  <16 chars>" for a play-back line. nullopt for any other line.
[[nodiscard]] std::optional<LogLine> parseLogLine(std::string_view line);

} // namespace qv::dmm
