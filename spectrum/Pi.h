#pragma once

namespace qv::spectrum {

/// The value of pi the window formulas and the transform use (ten decimals, not full precision),
/// so that spectra match those of the meter's own software to the last digit.
inline constexpr double kPi = 3.1415926535;

} // namespace qv::spectrum
