#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qv::output {

/// Pieces of the CSV exports: lines end in CR LF, numbers use "." whatever the locale.
class Csv {
  public:
    static constexpr std::string_view kLineEnd = "\r\n";

    /// The shortest text that reads back as the same double ("0.15", "5e-05", "-3").
    [[nodiscard]] static std::string number(double v);
    /// A number, or an empty field when there is none or it is not finite.
    [[nodiscard]] static std::string number(std::optional<double> v);
    /// A text field, quoted as RFC 4180 asks when it holds a comma, a quote, a line break or
    /// leading or trailing blanks (quotes inside are doubled).
    [[nodiscard]] static std::string field(std::string_view text);
    /// "# key,value" and the line end.
    [[nodiscard]] static std::string header(std::string_view key, std::string_view value);
};

/// What a number in a unit of the scale tables is divided by to be in volts or seconds: "V" and
/// "s" 1, "mV" and "ms" 1e3, "us" 1e6, "ns" 1e9 (dividing keeps 50 mV exactly 0.05 V). None for
/// an empty or unknown unit.
[[nodiscard]] std::optional<double> siDivisor(std::string_view unit);

} // namespace qv::output
