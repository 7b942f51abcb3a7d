#include "trend/TrendText.h"

#include <charconv>

namespace qv::trend {
namespace {

std::string toChars(double v, int precision) {
    char buf[64];
    const auto r = precision > 0 ? std::to_chars(buf, buf + sizeof buf, v,
                                                 std::chars_format::general, precision)
                                 : std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

/// A unit as one CSV field: quoted when it holds a comma or a quote.
std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

} // namespace

std::string valueText(double v) {
    return toChars(v, 6);
}

std::string pointsCsv(std::span<const Point> points, std::string_view unit,
                      const std::function<std::string(double)> &timeText) {
    const std::string unitField = csvField(unit);
    std::string out = "time,value,unit\r\n";
    for (const Point &p : points) {
        out += csvField(timeText(p.t));
        out += ',';
        if (!p.isGap())
            out += toChars(p.v, 0);
        out += ',';
        out += unitField;
        out += "\r\n";
    }
    return out;
}

} // namespace qv::trend
