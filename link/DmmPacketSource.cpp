#include "link/DmmPacketSource.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace qv::link {

namespace {

struct DmmFunction {
    const char *unit; ///< up to 9 characters
    double centre, span;
    int decimals;
};

constexpr std::array<DmmFunction, 6> kFunctions{{
    {"V  DC", 3.3, 0.25, 3},
    {"mV AC", 125.0, 8.0, 1},
    {"kOhm", 4.7, 0.03, 3},
    {"mA DC", 19.8, 1.2, 2},
    {"Hz", 50.0, 0.1, 2},
    {"C  TEMP", 23.5, 0.8, 1},
}};

constexpr int kLiveMode = 0, kStoredMode = 1, kTextMode = 2;

[[nodiscard]] const DmmFunction &functionAt(int index) {
    const size_t i = static_cast<size_t>(std::clamp(index, 0, int(kFunctions.size()) - 1));
    return kFunctions[i];
}

/// Pads or cuts to exactly n characters.
[[nodiscard]] std::string fit(std::string s, size_t n) {
    s.resize(n, ' ');
    return s;
}

} // namespace

DmmPacketSource::DmmPacketSource(int model, int function, std::uint32_t seed)
    : model_(model), function_(function), rng_(seed) {}

std::string DmmPacketSource::readingText(double value, int function) {
    const DmmFunction &f = functionAt(function);
    const double magnitude = std::fabs(value);
    std::string digits;
    // The value field is a sign and five characters; fewer decimals when the number is large.
    for (int decimals = f.decimals; decimals >= 0; --decimals) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%5.*f", decimals, magnitude);
        digits = buf;
        if (digits.size() <= 5)
            break;
    }
    if (digits.size() > 5)
        digits = "OL.  ";
    const std::string value6 = (value < 0 ? "-" : " ") + digits;
    return fit(value6, 6) + fit(std::string(" ") + f.unit, 10);
}

double DmmPacketSource::nextValue() {
    const DmmFunction &f = functionAt(function_);
    std::uniform_real_distribution<double> noise(-0.03, 0.03);
    const double drift = std::sin(2 * std::numbers::pi * static_cast<double>(tick_) / 240.0);
    ++tick_;
    return f.centre + f.span * (drift + noise(rng_));
}

Packet DmmPacketSource::packet(const std::string &text, int mode, int number) const {
    Packet p{};
    p[0] = 0xFF;
    const std::string t = fit(text, 16);
    for (size_t k = 0; k < 16; ++k) {
        const auto c = static_cast<unsigned char>(t[k]);
        p[k + 1] = (c < 0x20 || c > 0x7E) ? std::uint8_t{' '} : c;
    }
    p[17] = static_cast<std::uint8_t>(std::clamp(model_, 0, 254));
    p[18] = static_cast<std::uint8_t>(mode);
    p[19] = static_cast<std::uint8_t>(number); // 0 or a stored reading's, below 16
    return p;
}

Packet DmmPacketSource::live() {
    return packet(readingText(nextValue(), function_), kLiveMode, 0);
}

Packet DmmPacketSource::playback() {
    // Cycle: start message, record count, stored readings, end message, live readings.
    constexpr int kHeadSteps = 2;
    constexpr int kEndStep = kHeadSteps + kStoredReadings;
    constexpr int kCycle = kEndStep + 1 + kLiveBetween;
    const int step = step_;
    step_ = (step_ + 1) % kCycle;
    if (step == 0)
        return packet("Data start", kTextMode, 0);
    if (step == 1) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "   %d records", kStoredReadings);
        return packet(buf, kTextMode, 0);
    }
    if (step < kEndStep) {
        const int number = step - kHeadSteps;
        return packet(readingText(nextValue(), function_), kStoredMode, number);
    }
    if (step == kEndStep)
        return packet("Data end", kTextMode, 0);
    return live();
}

} // namespace qv::link
