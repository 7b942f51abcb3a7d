#pragma once
#include "dso/DsoDecoder.h"
#include "dso/ParameterReadouts.h"
#include "dso/WaveScreen.h"
#include "link/DsoFrameSource.h"
#include "platform/fakes/FakePlatform.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace qv::dso::test {

using link::Packet;
using Bytes = std::array<std::uint8_t, 256>;

/// The 17 packets of one frame with the settings of `s` and exactly these sample bytes.
inline std::vector<Packet> frame(const link::DsoSignal &s, int mode, const Bytes &samples) {
    auto packets = link::DsoFrameSource::frame(s, mode);
    for (int i = 0; i < 256; ++i)
        packets[1 + i / 16][1 + i % 16] = samples[i];
    return {packets.begin(), packets.end()};
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

/// The texts at the given places, "|"-separated; all texts, each followed by "|", without places.
inline std::string textsAt(const common::DrawingTarget &t,
                           std::initializer_list<std::pair<double, double>> places = {}) {
    std::map<std::pair<double, double>, std::string> at;
    std::string out;
    for (const auto &text : opsOf<common::TextOp>(t))
        at[{text.x, text.y}] = text.text, out += places.size() ? "" : text.text + "|";
    for (const auto &place : places)
        out += (out.empty() ? "" : "|") + at[place];
    return out;
}

using Line = std::array<double, 4>;

/// The lines of one colour (and pen width, unless 0) as x1, y1, x2, y2.
inline std::vector<Line> linesIn(const common::DrawingTarget &t, common::Rgb c, int width = 0) {
    std::vector<Line> out;
    for (const auto &l : opsOf<common::LineOp>(t))
        if (l.color == c && (width == 0 || l.width == width))
            out.push_back({l.x1, l.y1, l.x2, l.y2});
    return out;
}

/// A window receiving DSO frames: running, waveform view, progress shown. Counts the redraws.
struct Scope {
    platform::fakes::FakePlatform fp;
    platform::Platform os;
    common::Form form{os};
    ScaleTables tables;
    Measurements measurements{form, tables};
    DsoDecoder decoder{form, tables};
    int displays = 0, spectra = 0, cursorInits = 0;

    /// With a clipboard of its own, the copy goes there rather than to the fake.
    explicit Scope(platform::Clipboard *clipboard = nullptr)
        : os{fp.port, fp.messages, fp.files, fp.printer, clipboard ? *clipboard : fp.clipboard,
             fp.clock} {
        for (auto *item : {&form.el.mnuStart, &form.el.StartStop, &form.el.DSO_wave})
            item->setChecked(true);
        form.call.DSO_display = [this] { ++displays; };
        form.call.FFT_Display = [this] { ++spectra; };
        form.call.CursorInit = [this] { ++cursorInits; };
        fp.port.setEventHandler([this](int code) {
            if (code == platform::SerialPort::kReceiveEvent)
                decoder.COM_DSO();
        });
    }
    FrameOutcome feed(const std::vector<Packet> &packets) {
        fp.port.open();
        fp.port.deliver(bytesOf(packets));
        return decoder.lastOutcome();
    }
};

} // namespace qv::dso::test
