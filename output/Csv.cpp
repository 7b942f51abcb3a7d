#include "output/Csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace qv::output {
namespace {

constexpr double kLongestWhole = 1e15;

} // namespace

std::string Csv::number(double v) {
    if (!std::isfinite(v))
        return {};
    if (v == 0)
        v = 0; // no "-0"
    // Whole numbers below 1e15 are written out (100000, not 1e+05); their fixed form is short.
    const bool whole = std::abs(v) < kLongestWhole && v == std::trunc(v);
    std::array<char, 32> buffer{}; // room for any double's shortest form and a fixed one < 1e15
    char *const first = buffer.data(), *const last = first + buffer.size();
    char *const end = whole ? std::to_chars(first, last, v, std::chars_format::fixed).ptr
                            : std::to_chars(first, last, v).ptr;
    return std::string(first, end);
}

std::string Csv::number(std::optional<double> v) {
    return v ? number(*v) : std::string();
}

std::optional<double> Csv::decimal(std::optional<double> v) {
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    std::array<char, 32> buffer{}; // "-d.ddddddddddde-308" fits
    char *const end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *v,
                                    std::chars_format::scientific, kDecimalDigits - 1)
                          .ptr;
    double rounded = 0;
    std::from_chars(buffer.data(), end, rounded); // reads back what was just written
    return rounded;
}

std::string Csv::field(std::string_view text) {
    const bool quote =
        std::any_of(text.begin(), text.end(),
                    [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; }) ||
        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote)
        return std::string(text);
    // Runs between quotes are copied whole; each quote inside is doubled.
    std::string out;
    out += '"';
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t q = std::min(text.find('"', from), text.size());
        out.append(text, from, q - from);
        if (q < text.size())
            out += "\"\"";
        from = q + 1;
    }
    out += '"';
    return out;
}

std::string Csv::header(std::string_view key, std::string_view value) {
    return "# " + std::string(key) + "," + std::string(value) + std::string(kLineEnd);
}

std::optional<SiValue> inSi(double v, std::string_view unit) {
    struct Unit {
        std::string_view name, si;
        int exponent; ///< the unit is 10^exponent of its SI unit
    };
    static constexpr auto kUnits = std::to_array<Unit>(
        {{"V", "V", 0},      {"mV", "V", -3},  {"s", "s", 0},     {"ms", "s", -3},
         {"us", "s", -6},    {"ns", "s", -9},  {"mHz", "Hz", -3}, {"Hz", "Hz", 0},
         {"kHz", "Hz", 3},   {"MHz", "Hz", 6}, {"dB", "dB", 0},   {"A", "A", 0},
         {"mA", "A", -3},    {"uA", "A", -6},  {"Ohm", "Ohm", 0}, {"kOhm", "Ohm", 3},
         {"MOhm", "Ohm", 6}, {"nF", "F", -9},  {"uF", "F", -6},   {"mF", "F", -3}});
    const auto first = unit.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    unit = unit.substr(first, unit.find_last_not_of(' ') - first + 1);
    for (const Unit &u : kUnits) {
        if (u.name != unit)
            continue;
        // 1e-3 is no exact double but 1e3 is: dividing by 1000 keeps 50 mV the double nearest
        // 0.05 V.
        const double power = std::pow(10.0, std::abs(u.exponent));
        const auto value = Csv::decimal(u.exponent < 0 ? v / power : v * power);
        if (!value)
            return std::nullopt;
        return SiValue{*value, u.si};
    }
    return std::nullopt;
}

} // namespace qv::output
