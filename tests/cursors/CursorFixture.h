#pragma once
#include "cursors/ScreenCursors.h"
#include "platform/fakes/FakePlatform.h"
#include "spectrum/SpectrumView.h"

#include <string>
#include <vector>

namespace qv::cursors::testing {

/// A form with a spectrum view and the screen cursors over it.
struct CursorFixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dso::ScaleTables scales;
    spectrum::WindowTable windows;
    spectrum::SpectrumView view{form, scales, windows};
    ScreenCursors cursors{form, scales, view};

    /// Waveform or spectrum view, a cursor mode, a fresh screen.
    void start(bool waveformView, int mode) {
        if (waveformView)
            form.el.DSO_wave.setChecked(true);
        else
            form.el.DSO_FFT.setChecked(true);
        form.v.CursorMode = static_cast<std::int16_t>(mode);
        form.el.Picture1.clear();
        cursors.CursorInit();
    }

    [[nodiscard]] std::vector<common::LineOp> xorLines() const {
        std::vector<common::LineOp> lines;
        for (const auto &op : form.el.Picture1.ops())
            if (const auto *l = std::get_if<common::LineOp>(&op))
                if (l->mode == common::DrawMode::Xor)
                    lines.push_back(*l);
        return lines;
    }

    /// XOR lines left visible: each line drawn an even number of times cancels out.
    [[nodiscard]] std::vector<common::LineOp> visibleXorLines() const {
        std::vector<common::LineOp> visible;
        for (const auto &l : xorLines()) {
            bool cancelled = false;
            for (auto it = visible.begin(); it != visible.end(); ++it)
                if (it->x1 == l.x1 && it->y1 == l.y1 && it->x2 == l.x2 && it->y2 == l.y2 &&
                    it->color == l.color && it->width == l.width) {
                    visible.erase(it);
                    cancelled = true;
                    break;
                }
            if (!cancelled)
                visible.push_back(l);
        }
        return visible;
    }

    /// The last text printed at (x, 4750), or "" when none.
    [[nodiscard]] std::string readoutAt(double x) const {
        std::string text;
        for (const auto &op : form.el.Picture1.ops())
            if (const auto *t = std::get_if<common::TextOp>(&op))
                if (t->x == x && t->y == 4750)
                    text = t->text;
        return text;
    }
};

} // namespace qv::cursors::testing
