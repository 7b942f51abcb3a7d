#include "dmm/ReadingValue.h"

#include "dmm/ReadingText.h"

#include <charconv>
#include <cmath>

namespace qv::dmm {
namespace {

/// The value field as a number: blanks anywhere are ignored (the meter pads its digits), a "+" may
/// lead; anything else that is not a plain decimal number gives none.
std::optional<double> numberOf(std::string_view field) {
    std::string digits;
    for (const char c : field)
        if (c != ' ')
            digits += c;
    std::string_view text = digits;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    for (const char c : text)
        if (!(c == '-' || c == '.' || (c >= '0' && c <= '9')))
            return std::nullopt;
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace

ReadingValue parseReading(std::string_view reading) {
    return {numberOf(valueField(reading)), trimBlanks(unitField(reading))};
}

std::optional<LogLine> parseLogLine(std::string_view line) {
    line = withoutLineEnd(line);
    if (line.substr(0, 2) != "  ")
        return std::nullopt;
    line.remove_prefix(2);
    if (line.substr(0, 3) == "No.") {
        const auto colon = line.find(":  ");
        if (colon == std::string_view::npos)
            return std::nullopt;
        return LogLine{trimBlanks(line.substr(0, colon)), std::string(line.substr(colon + 3))};
    }
    const auto gap = line.find("    ");
    if (gap == 0 || gap == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = line.substr(gap + 4);
    // The timed line puts one blank between the value field and the unit field.
    std::string reading(rest.substr(0, 6));
    if (rest.size() > 7)
        reading += rest.substr(7);
    return LogLine{std::string(line.substr(0, gap)), reading};
}

} // namespace qv::dmm
