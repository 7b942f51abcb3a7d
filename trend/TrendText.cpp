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

} // namespace

std::string valueText(double v) {
    return toChars(v, 6);
}

std::string pointsCsv(std::span<const Point> points, std::string_view unit,
                      const std::function<std::string(double)> &timeText) {
    const std::string unitField = output::Csv::field(unit);
    std::string out = "time,value,unit\r\n";
    for (const Point &p : points) {
        out += output::Csv::field(timeText(p.t));
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
