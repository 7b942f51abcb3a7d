#pragma once
#include "dso/DsoDecoder.h"
#include "dso/ParameterReadouts.h"
#include "dso/WaveScreen.h"
#include "platform/fakes/FakePlatform.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace qv::dso::test {

using Packet = std::array<std::uint8_t, 20>;
using Bytes = std::array<std::uint8_t, 256>;

/// Header settings as the meter sends them (raw bytes, 128 = 0 for the signed ones).
struct Settings {
    std::uint8_t timeBase = 10, trigger = 128, gain = 8, position = 128, coupling = 1, slope = 1,
                 level = 128, zero = 128, memory = 0;
};

/// The 17 packets of one frame: the header, then samples 16(n-2) .. 16(n-2)+15 in packet n.
inline std::vector<Packet> frame(int model, int mode, const Settings &s, const Bytes &samples) {
    const std::array<std::uint8_t, 16> head{s.timeBase, s.trigger, s.gain, s.position, s.coupling,
                                            s.slope,    s.level,   s.zero, s.memory};
    std::vector<Packet> out;
    for (int n = 1; n <= 17; ++n) {
        Packet &p = out.emplace_back(Packet{0xFF});
        p[17] = model, p[18] = mode, p[19] = n;
        for (int k = 0; k < 16; ++k)
            p[k + 1] = n == 1 ? head[k] : samples[16 * (n - 2) + k];
    }
    return out;
}

inline std::vector<std::uint8_t> bytesOf(const std::vector<Packet> &packets) {
    std::vector<std::uint8_t> out;
    for (const Packet &p : packets)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

template <class Op> std::vector<Op> opsOf(const common::DrawingTarget &t) {
    std::vector<Op> out;
    for (const auto &op : t.ops())
        if (const auto *o = std::get_if<Op>(&op))
            out.push_back(*o);
    return out;
}

/// The texts at the given places, "|"-separated.
inline std::string textsAt(const common::DrawingTarget &t,
                           std::initializer_list<std::pair<double, double>> places) {
    std::map<std::pair<double, double>, std::string> at;
    for (const auto &text : opsOf<common::TextOp>(t))
        at[{text.x, text.y}] = text.text;
    std::string out;
    for (const auto &place : places)
        out += (out.empty() ? "" : "|") + at[place];
    return out;
}

inline std::vector<std::array<double, 4>> linesIn(const common::DrawingTarget &t, common::Rgb c) {
    std::vector<std::array<double, 4>> out;
    for (const auto &l : opsOf<common::LineOp>(t))
        if (l.color == c)
            out.push_back({l.x1, l.y1, l.x2, l.y2});
    return out;
}

/// A window receiving DSO frames: running, waveform view, progress shown. Counts the redraws
/// and draws the scope screen when `draw` is set.
struct Scope {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    ScaleTables tables;
    Measurements measurements{form, tables};
    DsoDecoder decoder{form, tables};
    bool draw = false;
    int displays = 0, spectra = 0, cursorInits = 0;

    Scope() {
        for (auto *item : {&form.el.mnuStart, &form.el.StartStop, &form.el.DSO_wave})
            item->setChecked(true);
        form.call.DSO_display = [this] {
            ++displays;
            if (draw)
                DSO_display(form, tables, measurements);
        };
        form.call.FFT_Display = [this] { ++spectra; };
        form.call.CursorInit = [this] { ++cursorInits; };
        fp.port.setEventHandler([this](int code) {
            if (code == platform::SerialPort::kReceiveEvent)
                decoder.COM_DSO();
        });
    }
    FrameOutcome feed(const std::vector<Packet> &packets) {
        FrameOutcome last = FrameOutcome::None;
        for (const Packet &p : packets) {
            form.v.PacketData = p;
            last = decoder.decodePacket();
        }
        return last;
    }
    [[nodiscard]] std::string panelTexts() const {
        std::string out;
        for (const auto &t : opsOf<common::TextOp>(form.el.Picture2))
            out += t.text + "|";
        return out;
    }
};

} // namespace qv::dso::test
