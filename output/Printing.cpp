#include "output/Printing.h"

#include "output/RecordPage.h"
#include "output/SpectrumPrint.h"
#include "output/WavePrint.h"

#include <exception>

namespace qv::output {
namespace {

constexpr double kFontSize = 9;
constexpr const char *kFontName = "Arial";
constexpr double kPageOrigin = -1000; ///< page (0, 0) lies 1000 twips inside the printable area
constexpr double kTitleY = -150;

} // namespace

Printing::Printing(common::Form &form, const dso::ScaleTables &tables,
                   dso::Measurements &measurements, const spectrum::SpectrumView &spectrum,
                   const cursors::ScreenCursors &cursors)
    : form_(form), tables_(tables), measurements_(measurements), spectrum_(spectrum),
      cursors_(cursors) {}

void Printing::Printout() {
    platform::Printer &printer = form_.os.printer;
    const std::optional<int> copies = printer.askCopies();
    if (!copies)
        return;
    // Every failure ends the command silently; the copies already printed stay printed, and a
    // file printed into is closed with what it holds.
    try {
        for (int copy = 1; copy <= *copies; ++copy) {
            common::DrawingTarget *page = printer.beginDocument();
            if (page == nullptr)
                break;
            Printout0(*page);
            if (!printer.endDocument())
                break;
        }
    } catch (const std::exception &) {
    }
    (void)printer.endJob();
}

void Printing::Printout0(common::DrawingTarget &page) {
    page.setFontSize(kFontSize);
    page.setFontName(kFontName);
    page.setOrigin(kPageOrigin, kPageOrigin);
    page.setPenStyle(common::PenStyle::Solid);
    if (!form_.el.DSOmode.checked()) {
        printDmmRecord(form_, page);
        return;
    }
    const bool waveView = form_.el.DSO_wave.checked();
    if (waveView)
        DSO_Print(page);
    else
        FFT_Print(page);
    page.setCurrentY(kTitleY);
    page.setCurrentX(form_.geo.ScreenLeft);
    page.print((waveView ? "Wave of " : "FFT of ") + form_.wave.WaveTitle);
}

void Printing::DSO_Print(common::DrawingTarget &page) {
    output::DSO_Print(form_, tables_, measurements_, cursors_, page, underlay_);
}

void Printing::FFT_Print(common::DrawingTarget &page) {
    output::FFT_Print(form_, spectrum_, cursors_, page);
}

void Printing::mnuCopy_Click() {
    form_.os.clipboard.clear();
    form_.os.clipboard.setImage(form_.el.Picture1, kScreenWidth, kScreenHeight);
}

} // namespace qv::output
