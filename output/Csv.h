#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qv::output {

/// Pieces of the CSV exports: lines end in CR LF, numbers use "." whatever the locale.
class Csv {
  public:
    static constexpr std::string_view kLineEnd = "\r\n";
    /// Significant digits kept of a number worked out from the scale tables' decimals.
    static constexpr int kDecimalDigits = 12;

    /// The shortest text that reads back as the same double ("0.15", "5e-05", "-3"); whole
    /// numbers below 1e15 written out ("100000").
    [[nodiscard]] static std::string number(double v);
    /// A number, or an empty field when there is none or it is not finite.
    [[nodiscard]] static std::string number(std::optional<double> v);
    /// A number worked out in binary from decimals (0.4 us / 20 x 3) as the decimal meant: rounded
    /// to 12 significant digits, so that the arithmetic's last-bit noise goes and number() writes
    /// "6e-08", not "6.000000000000001e-08". None when there is none or it is not finite.
    [[nodiscard]] static std::optional<double> decimal(std::optional<double> v);
    /// A text field, quoted as RFC 4180 asks when it holds a comma, a quote, a line break or
    /// leading or trailing blanks (quotes inside are doubled).
    [[nodiscard]] static std::string field(std::string_view text);
    /// "# key,value" and the line end.
    [[nodiscard]] static std::string header(std::string_view key, std::string_view value);
};

/// A value in its SI unit.
struct SiValue {
    double value;
    std::string_view unit; ///< "V", "s", "Hz", "dB", "A", "Ohm" or "F"
};

/// A value in a unit of the scale tables or the readouts, in SI units as a decimal (see
/// Csv::decimal): "mV" becomes "V"; "ms", "us", "ns" become "s"; "mHz", "kHz", "MHz" become
/// "Hz"; the meter's "mA", "uA", "kOhm", "MOhm", "nF", "uF", "mF" become "A", "Ohm", "F"; "V",
/// "s", "Hz", "dB", "A" and "Ohm" stay. Blanks around the unit ("Hz ") do not count. None for an
/// empty or unknown unit or a value that is not finite.
[[nodiscard]] std::optional<SiValue> inSi(double v, std::string_view unit);

} // namespace qv::output
