#include "output/Csv.h"

#include <array>
#include <charconv>
#include <cmath>

namespace qv::output {

std::string Csv::number(double v) {
    if (!std::isfinite(v))
        return {};
    if (v == 0)
        v = 0; // no "-0"
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
    if (ec != std::errc{})
        return {};
    return std::string(buffer.data(), end);
}

std::string Csv::number(std::optional<double> v) {
    return v ? number(*v) : std::string();
}

std::string Csv::field(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote)
        return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string Csv::header(std::string_view key, std::string_view value) {
    return "# " + std::string(key) + "," + std::string(value) + std::string(kLineEnd);
}

std::optional<double> siDivisor(std::string_view unit) {
    struct Unit {
        std::string_view name;
        double divisor;
    };
    static constexpr std::array<Unit, 6> kUnits{
        {{"V", 1}, {"mV", 1e3}, {"s", 1}, {"ms", 1e3}, {"us", 1e6}, {"ns", 1e9}}};
    for (const Unit &u : kUnits)
        if (u.name == unit)
            return u.divisor;
    return std::nullopt;
}

} // namespace qv::output
