#pragma once
#include "dso/WaveMeasurements.h"

#include <span>
#include <string>
#include <string_view>

namespace qv::dso {

/// A measurement's names and unit. The labels are what the window lists (Chinese, its source
/// language, and English); key and csvKey are the names in JSON and in the waveform CSV.
struct QuantityName {
    Quantity quantity;
    const char *key;    ///< "rise_time"
    const char *csvKey; ///< "rise_time_s": the key with its unit
    const char *unit;   ///< "V", "s", "Hz" or "%"
    const char *label;  ///< "上升时间"
    const char *english;
};

/// Why a measurement has no value, in the window's words (Chinese, English).
struct WhyName {
    Why why;
    const char *text; ///< "交越点少于两个"
    const char *english;
};

/// Every measurement's names, in Quantity order.
[[nodiscard]] std::span<const QuantityName> quantityNames();
/// A reason's texts (Measured has empty texts).
[[nodiscard]] const WhyName &nameOf(Why why);

/// A measured value as shown: its number to the resolution's decimal place after an SI prefix
/// (p, n, u, m, k, M, G; none for "%") and the unit: "1.6 V", "80 mV", "1.28 us", "781 kHz",
/// "25 %", "50.00 ms". value is the shown number read back, in the unit without prefix.
struct ShownValue {
    std::string text;
    double value;
};
[[nodiscard]] ShownValue shownValue(double value, double resolution, std::string_view unit);

} // namespace qv::dso
