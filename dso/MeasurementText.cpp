#include "dso/MeasurementText.h"
#include "common/ShownTexts.h" // QT_TRANSLATE_NOOP

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace qv::dso {
namespace {

using enum Quantity;

constexpr std::array<QuantityName, kQuantities> kQuantityNames{{
    {Maximum, "maximum", "maximum_v", "V", QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "最大值"),
     "Maximum"},
    {Minimum, "minimum", "minimum_v", "V", QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "最小值"),
     "Minimum"},
    {Amplitude, "amplitude", "amplitude_v", "V",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "幅度"), "Amplitude"},
    {Mean, "mean", "mean_v", "V", QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "平均值"), "Mean"},
    {CycleRms, "cycle_rms", "cycle_rms_v", "V",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "周期有效值"), "Cycle RMS"},
    {Period, "period", "period_s", "s", QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "周期"),
     "Period"},
    {Frequency, "frequency", "frequency_hz", "Hz",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "频率"), "Frequency"},
    {PositiveWidth, "positive_width", "positive_width_s", "s",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "正脉宽"), "Positive width"},
    {NegativeWidth, "negative_width", "negative_width_s", "s",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "负脉宽"), "Negative width"},
    {DutyCycle, "duty_cycle", "duty_cycle_percent", "%",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "占空比"), "Duty cycle"},
    {RiseTime, "rise_time", "rise_time_s", "s",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "上升时间"), "Rise time"},
    {FallTime, "fall_time", "fall_time_s", "s",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "下降时间"), "Fall time"},
    {Overshoot, "overshoot", "overshoot_percent", "%",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "过冲"), "Overshoot"},
    {Undershoot, "undershoot", "undershoot_percent", "%",
     QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "下冲"), "Undershoot"},
}};

constexpr auto kWhyNames = std::to_array<WhyName>({
    {Why::Measured, "", ""},
    {Why::UnknownScale, QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "量程未知"), "unknown scale"},
    {Why::Clipped, QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "波形超出屏幕边缘"),
     "clipped trace at the screen's edge"},
    {Why::FewCrossings, QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "中间电平交越少于两次"),
     "fewer than two crossings"},
    {Why::NoRisingEdge, QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "没有完整的上升沿"),
     "no whole rising edge"},
    {Why::NoFallingEdge, QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "没有完整的下降沿"),
     "no whole falling edge"},
    {Why::Flat, QT_TRANSLATE_NOOP("qv::dso::MeasurementText", "波形平坦，没有幅度"), "flat trace"},
});

struct Prefix {
    int exponent;
    const char *text;
};
constexpr auto kPrefixes = std::to_array<Prefix>(
    {{-12, "p"}, {-9, "n"}, {-6, "u"}, {-3, "m"}, {0, ""}, {3, "k"}, {6, "M"}, {9, "G"}});
constexpr int kMaxDecimals = 9;

/// The value in units of 10^exponent, to the decimal place of the resolution.
std::string fixed(double value, double resolution, int exponent) {
    // Multiplied or divided by a whole power of ten (the other one is 1), never by an inexact
    // 0.001.
    const double up = std::pow(10.0, std::max(-exponent, 0));
    const double down = std::pow(10.0, std::max(exponent, 0));
    const double scaled = value * up / down;
    const double step = resolution * up / down;
    const int decimals =
        step > 0
            ? std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, kMaxDecimals)
            : 3;
    std::array<char, 400> buffer{};
    const auto r = std::to_chars(buffer.data(), buffer.data() + buffer.size(), scaled,
                                 std::chars_format::fixed, decimals);
    std::string text(buffer.data(), r.ec == std::errc() ? r.ptr : buffer.data());
    if (text.starts_with('-') && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
    return text;
}

double parsed(const std::string &text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

} // namespace

std::span<const QuantityName> quantityNames() {
    return kQuantityNames;
}

const WhyName &nameOf(Why why) {
    return kWhyNames.at(static_cast<std::size_t>(why));
}

ShownValue shownValue(double value, double resolution, std::string_view unit) {
    std::size_t prefix = 4; // none
    const double size = std::max(std::abs(value), resolution);
    if (unit != "%" && size > 0 && std::isfinite(size)) {
        const int exponent = static_cast<int>(std::floor(std::log10(size) / 3)) * 3;
        prefix = static_cast<std::size_t>(std::clamp(exponent / 3 + 4, 0, 7));
    }
    std::string number = fixed(value, resolution, kPrefixes[prefix].exponent);
    // Rounding may reach the next prefix: 999.96 mV at 0.1 mV shows as 1.0000 V.
    if (unit != "%" && prefix < 7 && std::abs(parsed(number)) >= 1000)
        number = fixed(value, resolution, kPrefixes[++prefix].exponent);
    const double shown =
        parsed(number + "e" + std::to_string(kPrefixes[prefix].exponent)); // exact decimal
    return {number + " " + kPrefixes[prefix].text + std::string(unit), shown};
}

} // namespace qv::dso
