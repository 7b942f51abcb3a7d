#pragma once
#include "cursors/ScreenCursors.h"
#include "dso/WaveScreen.h"
#include "output/Printing.h"
#include "platform/fakes/FakePlatform.h"
#include "spectrum/SpectrumView.h"
#include "spectrum/WindowTable.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace qv::output::testing {

/// A form in DSO mode with every view the print reads, wired as the program wires them, holding
/// a sine of 20 units and a period of 40 samples: 500 Hz at 1 ms/div, 2 V/div.
struct PrintFixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    dso::ScaleTables tables;
    spectrum::WindowTable windows;
    dso::Measurements measurements{form, tables};
    spectrum::SpectrumView view{form, tables, windows};
    cursors::ScreenCursors cursors{form, tables, view};
    Printing printing{form, tables, measurements, view, cursors};

    PrintFixture() {
        form.call.CursorInit = [this] { cursors.CursorInit(); };
        form.el.DSOmode.setChecked(true);
        form.v.MeterModelCode = 0, form.v.MeterModelName = "QM1538";
        auto &w = form.wave;
        w.DsoParam[0] = 13, w.DsoParam[2] = 7, w.DsoParam[4] = 1; // 1 ms/div, 2 V/div, DC
        w.WaveTitle = "bench", w.WaveDate = "2026-12-07", w.WaveTime = "14:03:27";
        for (int i = 0; i < 256; ++i)
            w.WaveData[i] = std::round(20 * std::sin(2 * 3.14159265358979 * i / 40));
    }
    void showWaveform() {
        form.el.DSO_wave.setChecked(true);
        dso::DSO_display(form, tables, measurements);
    }
    void showSpectrum(int logScale) {
        form.el.DSO_FFT.setChecked(true);
        form.v.SpectrumLogScale = logScale;
        view.FFT_Display();
    }
    void click(int button, double x, double y) {
        cursors.Picture1_MouseDown(button, 0, static_cast<float>(x), static_cast<float>(y));
    }
    /// Prints one copy and returns its page.
    [[nodiscard]] const common::DrawingTarget &printPage() {
        fp.printer.copies = 1;
        printing.Printout();
        return *fp.printer.pages.at(0);
    }
};

template <class Op> [[nodiscard]] std::vector<Op> opsOf(const common::DrawingTarget &page) {
    std::vector<Op> found;
    for (const auto &op : page.ops())
        if (const auto *o = std::get_if<Op>(&op))
            found.push_back(*o);
    return found;
}

using Line = std::array<double, 4>;

/// The lines of one pen width and colour as x1, y1, x2, y2.
[[nodiscard]] inline std::vector<Line> linesOf(const common::DrawingTarget &page, int width,
                                               common::Rgb color) {
    std::vector<Line> found;
    for (const auto &l : opsOf<common::LineOp>(page))
        if (l.width == width && l.color == color)
            found.push_back({l.x1, l.y1, l.x2, l.y2});
    return found;
}

/// The texts printed in a row, as "x:text".
[[nodiscard]] inline std::vector<std::string> row(const common::DrawingTarget &page, double y) {
    std::vector<std::string> found;
    for (const auto &t : opsOf<common::TextOp>(page))
        if (t.y == y)
            found.push_back(std::to_string(static_cast<int>(t.x)) + ":" + t.text);
    return found;
}

/// The cursor readouts (row 4750 at x 2000 or 3500), in the order printed.
[[nodiscard]] inline std::vector<std::string> cursorTexts(const common::DrawingTarget &page) {
    auto found = row(page, 4750);
    std::erase_if(found, [](const std::string &t) {
        return !t.starts_with("2000:") && !t.starts_with("3500:");
    });
    return found;
}

} // namespace qv::output::testing
