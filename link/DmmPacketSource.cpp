#include "link/DmmPacketSource.h"

#include "common/Formatted.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qv::link {

namespace {

// The quantity the live readings show: about 3.3 V DC, drifting by a quarter volt.
constexpr double kCentre = 3.3, kSpan = 0.25;
constexpr int kLiveMode = 0, kStoredMode = 1, kTextMode = 2;

/// Pads or cuts to exactly n characters.
[[nodiscard]] std::string fit(std::string s, size_t n) {
    s.resize(n, ' ');
    return s;
}

} // namespace

DmmPacketSource::DmmPacketSource(int model, std::uint32_t seed) : model_(model), rng_(seed) {}

std::string DmmPacketSource::readingText(double value) {
    // A blank for the sign and five characters (3.04 .. 3.56 V: one digit and three decimals),
    // then the unit; the packet pads it.
    return common::formatted(" %5.3f V  DC", value);
}

double DmmPacketSource::nextValue() {
    std::uniform_real_distribution<double> noise(-0.03, 0.03);
    const double drift = std::sin(2 * std::numbers::pi * static_cast<double>(tick_) / 240.0);
    ++tick_;
    return kCentre + kSpan * (drift + noise(rng_));
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
    return packet(readingText(nextValue()), kLiveMode, 0);
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
    if (step == 1)
        return packet(common::formatted("   %d records", kStoredReadings), kTextMode, 0);
    if (step < kEndStep) {
        const int number = step - kHeadSteps;
        return packet(readingText(nextValue()), kStoredMode, number);
    }
    if (step == kEndStep)
        return packet("Data end", kTextMode, 0);
    return live();
}

} // namespace qv::link
