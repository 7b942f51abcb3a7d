#include "trend/TrendText.h"

#include "output/Csv.h"

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

/// The value with its digits after the point as the meter showed them, else in full precision.
std::string asShown(double v, int decimals) {
    if (decimals < 0 || decimals > 17)
        return toChars(v, 0);
    char buf[400]; // the longest fixed form of a double, with 17 digits after the point
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return r.ec == std::errc{} ? std::string(buf, r.ptr) : toChars(v, 0);
}

} // namespace

std::string valueText(double v, int decimals) {
    return decimals < 0 ? toChars(v, 6) : asShown(v, decimals);
}

int decimalsOf(std::string_view field) {
    int digits = 0;
    bool point = false, number = false;
    for (const char c : field) {
        if (c == '.') {
            point = true;
        } else if (c >= '0' && c <= '9') {
            number = true;
            digits += point ? 1 : 0;
        }
    }
    return number ? digits : -1;
}

std::string singleBlanks(std::string_view unit) {
    std::string out;
    for (const char c : unit)
        if (c != ' ' || (!out.empty() && out.back() != ' '))
            out += c;
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string pointsCsv(std::span<const Point> points, std::string_view unit,
                      const std::function<std::string(double)> &timeText) {
    const std::string unitField = output::Csv::field(unit);
    std::string out = "time,value,unit\r\n";
    for (const Point &p : points) {
        out += output::Csv::field(timeText(p.t));
        out += ',';
        if (!p.isGap())
            out += asShown(p.v, p.decimals);
        out += ',';
        out += unitField;
        out += "\r\n";
    }
    return out;
}

} // namespace qv::trend
