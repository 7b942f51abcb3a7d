#pragma once
#include "../dso/Scope.h"
#include "output/Printing.h"

#include <cmath>

namespace qv::output::testing {

using namespace dso::test;

/// The DSO views the print reads, wired as the program does; a sine of 20 units, 500 Hz, 2 V/div.
struct PrintFixture : Scope {
    spectrum::WindowTable windows;
    spectrum::SpectrumView view{form, tables, windows};
    cursors::ScreenCursors cursors{form, tables, view};
    Printing printing{form, tables, measurements, view, cursors};

    explicit PrintFixture(platform::Clipboard *clipboard = nullptr) : Scope(clipboard) {
        form.call.CursorInit = [this] { cursors.CursorInit(); };
        form.el.DSOmode.setChecked(true);
        form.v.MeterModelCode = 0, form.v.MeterModelName = "QM1538";
        auto &w = form.wave;
        w.DsoParam[0] = 13, w.DsoParam[2] = 7, w.DsoParam[4] = 1; // 1 ms/div, 2 V/div, DC
        w.WaveTitle = "bench", w.WaveDate = "2026-12-07", w.WaveTime = "14:03:27";
        for (int i = 0; i < 256; ++i)
            w.WaveData[i] = std::round(20 * std::sin(2 * 3.14159265358979 * i / 40));
    }
    /// Shows the waveform or (in dB with logScale 1) the spectrum.
    void show(bool spectrum, int logScale = 0) {
        (spectrum ? form.el.DSO_FFT : form.el.DSO_wave).setChecked(true);
        form.v.SpectrumLogScale = logScale;
        spectrum ? view.FFT_Display() : dso::DSO_display(form, tables, measurements);
    }
    void click(int button, float x, float y) { cursors.Picture1_MouseDown(button, 0, x, y); }
    [[nodiscard]] const common::DrawingTarget &printPage() {
        fp.printer.copies = 1;
        printing.Printout();
        return *fp.printer.pages.at(0);
    }
};

/// The texts printed in a row, as "x:text"; with `cursors` only those at x 2000 or 3500.
[[nodiscard]] inline std::vector<std::string> row(const common::DrawingTarget &page, double y,
                                                  bool cursors = false) {
    std::vector<std::string> found;
    for (const auto &t : opsOf<common::TextOp>(page))
        if (t.y == y && (!cursors || t.x == 2000 || t.x == 3500))
            found.push_back(std::to_string(static_cast<int>(t.x)) + ":" + t.text);
    return found;
}

} // namespace qv::output::testing
