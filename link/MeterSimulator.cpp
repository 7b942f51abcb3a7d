#include "link/MeterSimulator.h"

#include <array>

#include "link/DsoFrameSource.h"

#include <algorithm>
#include <cmath>

namespace qv::link {

std::optional<SimMode> parseSimMode(std::string_view name) {
    if (name == "dmm")
        return SimMode::Dmm;
    if (name == "dso")
        return SimMode::Dso;
    if (name == "dso-memory")
        return SimMode::DsoMemory;
    if (name == "dmm-memory")
        return SimMode::DmmMemory;
    return std::nullopt;
}

MeterSimulator::MeterSimulator(SimOptions options)
    : options_(options), dmm_(options.model, options.seed) {
    options_.dso.model = options_.model;
}

DsoSignal MeterSimulator::frameSignal() const {
    DsoSignal s = options_.dso;
    const double f = static_cast<double>(frames_);
    if (options_.mode == SimMode::DsoMemory) {
        // Stored waveforms: memories 1..6, each with its own shape and period.
        constexpr int kMemories = 6;
        const int memory = static_cast<int>(frames_ % kMemories);
        s.memoryNumber = memory + 1;
        s.shape = static_cast<WaveShape>(memory % 3);
        s.period = options_.dso.period * (1.0 + 0.25 * memory);
        return s;
    }
    if (options_.timeBaseTour > 0) {
        // The fastest time bases of each model, as the meter knows them; the signal's period
        // shrinks with them so that every step shows a couple of periods.
        constexpr auto kTop = std::to_array<int>({23, 24, 23, 26, 25, 26, 26, 24, 26});
        constexpr struct {
            int belowTop;
            double period;
        } kTour[] = {{3, 64}, {2, 48}, {1, 24}, {0, 12}};
        const auto &step = kTour[(frames_ / static_cast<unsigned>(options_.timeBaseTour)) % 4];
        const int model = std::clamp(options_.model, 0, int(kTop.size()) - 1);
        s.timeBase = kTop[static_cast<size_t>(model)] - step.belowTop;
        s.period = step.period;
    }
    // Live: the amplitude breathes slowly, as a real signal source drifts.
    s.amplitude = options_.dso.amplitude * (1.0 + 0.1 * std::sin(f / 5.0));
    return s;
}

Packet MeterSimulator::makePacket() {
    ++made_;
    switch (options_.mode) {
    case SimMode::Dmm:
        return dmm_.live();
    case SimMode::DmmMemory:
        return dmm_.playback();
    case SimMode::Dso:
    case SimMode::DsoMemory:
        break;
    }
    if (frameSlot_ == 0) {
        const bool stored = options_.mode == SimMode::DsoMemory;
        const int workMode = stored ? 4 + static_cast<int>(frames_ % 2) : 3;
        frame_ = DsoFrameSource::frame(frameSignal(), workMode);
        ++frames_;
    }
    const Packet p = frame_[static_cast<size_t>(frameSlot_)];
    frameSlot_ = (frameSlot_ + 1) % DsoFrameSource::kPackets;
    return p;
}

Packet MeterSimulator::nextPacket() {
    return makePacket();
}

std::vector<std::uint8_t> MeterSimulator::nextBytes(std::size_t n) {
    if (!started_) {
        started_ = true;
        current_ = makePacket();
        pos_ = static_cast<std::size_t>(std::clamp(options_.startOffset, 0, 19));
    }
    std::vector<std::uint8_t> out;
    while (out.size() < n) {
        if (pos_ >= current_.size()) {
            current_ = makePacket();
            pos_ = 0;
        }
        const std::size_t take = std::min(n - out.size(), current_.size() - pos_);
        out.insert(out.end(), current_.begin() + static_cast<long>(pos_),
                   current_.begin() + static_cast<long>(pos_ + take));
        pos_ += take;
    }
    return out;
}

void MeterSimulator::skip(std::size_t bytes) {
    started_ = true;
    pos_ = current_.size();
    (void)nextBytes(bytes);
}

} // namespace qv::link
