#pragma once
#include <string>
#include <string_view>

namespace qv::dmm {

/// Characters 1..6 of a reading: the value with its sign and decimal point (shorter when the
/// reading is).
[[nodiscard]] std::string valueField(std::string_view reading);
/// Characters 7..16 of a reading: the unit and annotations (empty or shorter when the reading is).
[[nodiscard]] std::string unitField(std::string_view reading);
/// The text without leading and trailing blanks.
[[nodiscard]] std::string trimBlanks(std::string_view text);
/// The play-back line prefix of record n: "  No.5 :  " or "  No.42:  ".
[[nodiscard]] std::string recordPrefix(int n);

} // namespace qv::dmm
