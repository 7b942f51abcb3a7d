#pragma once
#include <optional>
#include <string_view>

namespace qv::files {

/// The number a line of a waveform file starts with. Leading blanks and tabs are skipped; the
/// number (optional sign, digits with an optional decimal point, optional exponent "E" or "e")
/// ends at the first character that cannot continue it. A line that does not start with a number
/// gives 0, as does a value too small for a double. nullopt: the number is too large for a double,
/// which makes the line unreadable.
[[nodiscard]] std::optional<double> leadingNumber(std::string_view line);

} // namespace qv::files
