#pragma once
#include "common/Form.h"
#include "dmm/DigitPanel.h"
#include "dmm/DmmDecoder.h"
#include "dmm/RecordLog.h"
#include "platform/fakes/FakePlatform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qv::dmm::test {

/// A DMM packet: sync byte, 16 display characters (blank-padded or cut), model, mode, number.
inline std::vector<std::uint8_t> packet(const std::string &text, int mode, int number = 0,
                                        int model = 6) {
    std::vector<std::uint8_t> p(20, ' ');
    p[0] = 0xFF;
    for (std::size_t k = 0; k < 16 && k < text.size(); ++k)
        p[k + 1] = static_cast<std::uint8_t>(text[k]);
    p[17] = static_cast<std::uint8_t>(model);
    p[18] = static_cast<std::uint8_t>(mode);
    p[19] = static_cast<std::uint8_t>(number);
    return p;
}

/// A log view that only counts the caret moves.
inline common::LogControl::View caretCounter(int &carets) {
    common::LogControl::View v;
    v.caretToEnd = [&carets] { ++carets; };
    return v;
}

/// A form in DMM mode with the decoder on an open fake port, acquisition running and the digit
/// panel and record log wired as the window wires them.
struct DmmRig {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    DigitPanel panel{form};
    DmmDecoder decoder{form};
    RecordLog log{form};
    int dsoModeCalls = 0;

    DmmRig() {
        form.call.Display_DMMReading = [this] { panel.Display_DMMReading(); };
        form.call.DSOmode = [this] {
            ++dsoModeCalls;
            form.v.ModeMismatchCount = 0;
        };
        form.el.mnuStart.setChecked(true);
        form.el.Timer1.setEnabled(true);
        fp.port.setEventHandler([this](int code) {
            if (code == platform::SerialPort::kReceiveEvent)
                decoder.COM_DMM();
        });
        (void)fp.port.open();
    }

    void send(const std::vector<std::uint8_t> &bytes) { fp.port.deliver(bytes); }
    void send(const std::string &text, int mode, int number = 0) {
        send(packet(text, mode, number));
    }
    /// Text ops on the digit panel, in drawing order.
    [[nodiscard]] std::vector<common::TextOp> panelTexts() const {
        std::vector<common::TextOp> out;
        for (const auto &op : form.el.Picture2.ops())
            if (const auto *t = std::get_if<common::TextOp>(&op))
                out.push_back(*t);
        return out;
    }
    [[nodiscard]] std::vector<common::BoxOp> panelBoxes() const {
        std::vector<common::BoxOp> out;
        for (const auto &op : form.el.Picture2.ops())
            if (const auto *b = std::get_if<common::BoxOp>(&op))
                out.push_back(*b);
        return out;
    }
};

} // namespace qv::dmm::test
