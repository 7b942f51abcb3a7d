#pragma once
#include "common/Form.h"

#include <array>
#include <cstdint>
#include <vector>

namespace qv::dso::test {

using Packet = std::array<std::uint8_t, 20>;

/// Header settings as the meter sends them (raw bytes, 128 = 0 for the signed ones).
struct Settings {
    std::uint8_t timeBase = 10, trigger = 128, gain = 8, position = 128, coupling = 1, slope = 1,
                 level = 128, zero = 128, memory = 0;
};

inline Packet packet(int model, int mode, int number) {
    Packet p{};
    p[0] = 0xFF;
    p[17] = static_cast<std::uint8_t>(model);
    p[18] = static_cast<std::uint8_t>(mode);
    p[19] = static_cast<std::uint8_t>(number);
    return p;
}

inline Packet header(int model, int mode, const Settings &s) {
    Packet p = packet(model, mode, 1);
    const std::array<std::uint8_t, 9> b{s.timeBase, s.trigger, s.gain, s.position, s.coupling,
                                        s.slope,    s.level,   s.zero, s.memory};
    for (size_t k = 0; k < b.size(); ++k)
        p[k + 1] = b[k];
    return p;
}

/// Data packet n (2..17) carrying samples 16(n-2) .. 16(n-2)+15 of a frame.
inline Packet data(int model, int mode, int n, const std::array<std::uint8_t, 256> &samples) {
    Packet p = packet(model, mode, n);
    for (int k = 0; k < 16; ++k)
        p[k + 1] = samples[static_cast<size_t>(16 * (n - 2) + k)];
    return p;
}

/// The 17 packets of one frame.
inline std::vector<Packet> frame(int model, int mode, const Settings &s,
                                 const std::array<std::uint8_t, 256> &samples) {
    std::vector<Packet> out{header(model, mode, s)};
    for (int n = 2; n <= 17; ++n)
        out.push_back(data(model, mode, n, samples));
    return out;
}

inline std::array<std::uint8_t, 256> flat(std::uint8_t v) {
    std::array<std::uint8_t, 256> s{};
    s.fill(v);
    return s;
}

/// The window's state while DSO frames are received: running, waveform view, progress shown.
inline void dsoRunning(common::Form &form) {
    form.el.mnuStart.setChecked(true);
    form.el.StartStop.setChecked(true);
    form.el.DSO_wave.setChecked(true);
}

} // namespace qv::dso::test
