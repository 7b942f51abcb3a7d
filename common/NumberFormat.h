#pragma once
#include <string>
#include <string_view>

namespace qv::common {

/// The number in its shortest decimal form of at most 15 significant digits: "0.75", "-3",
/// "0.00390625". Plain digits from 1E-10 up to 1E15, outside that "1.5E+20" / "1E-12".
/// The decimal separator is always ".". -0 gives "0".
[[nodiscard]] std::string shortestNumber(double v);

/// A number as a print item: one blank (or the minus sign), the shortest form, one trailing blank:
/// " 0.75 ", "-2.25 ".
[[nodiscard]] std::string printItem(double v);

/// Formats through a display pattern such as "###0.0#": "0" a digit always shown, "#" a digit
/// shown when significant, no grouping. Rounds on the value's 15-significant-digit decimal form,
/// ties away from zero; a result of zero never carries a minus sign. Magnitudes of 1E15 and more
/// fall back to the shortest form, so no value prints hundreds of digits.
[[nodiscard]] std::string formatPattern(double v, std::string_view pattern);

/// The round trip: formats through the pattern and takes the text back as a number.
[[nodiscard]] double roundThrough(double v, std::string_view pattern);

/// A whole number with a blank in place of a plus sign: 3 -> " 3", -3 -> "-3".
[[nodiscard]] std::string signedText(long long n);

/// Parses a decimal number written by the functions above ("." separator); 0 when it is not one.
[[nodiscard]] double parseNumber(std::string_view text);

} // namespace qv::common
