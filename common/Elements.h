#pragma once
#include "common/Control.h"
#include "common/DrawingTarget.h"
#include "common/LogControl.h"

#include <array>

namespace qv::common {

/// Every user-interface element of the main window whose state the program sets or reads,
/// named as the commands know them. The window binds its widgets to these.
struct Elements {
    Elements() {
        Control::pair(DMMmode, DSOmode);
        Control::pair(DSO_wave, DSO_FFT);
        // Arial metrics are what the texts' positions were laid out for (the platform's sans
        // font with the same metrics stands in where Arial is missing).
        Picture1.setFontName("Arial");
        Picture1.setFontSize(8);
        Picture2.setFontName("Arial");
        Picture2.setForeColor(kCyan);
    }
    Elements(const Elements &) = delete;
    Elements &operator=(const Elements &) = delete;

    // Toolbar buttons, by key.
    Control New, Open, Save, Print, Copy, Link, DMMmode, DSOmode, StartStop, DMMRecord, DSO_wave,
        DSO_FFT, XCursor, YCursor;

    // Menu titles and items.
    Control mnuFile, mnuNew, menuOpen, menuSave, mnuSaveAs, mnuPrint, mnuExit;
    Control mnuExport;                    ///< the File menu's Export submenu
    std::array<Control, 6> mnuExportItem; ///< its items, in the order of app::kExportItems
    Control mnuEdit, mnuCopy;
    Control mnuComm, mnuLink, mnuBreak;
    std::array<Control, 8> mnuCOM; ///< mnuCOM1 .. mnuCOM8
    Control mnuOtherPort;          ///< any device, after mnuCOM8
    Control mnuRun, mnuStart, mnuPause, mnuDMMmode, mnuDSOmode;
    Control mnuDMMrecord, mnuDMMRecordStart, mnuDMMRecordPause;
    std::array<Control, 7> mnuInterval; ///< mnu1s, mnu2s, mnu5s, mnu10s, mnu20s, mnu30s, mnu60s
    Control mnuTrend;                   ///< opens the trend window
    Control mnuDSOdis, mnuDSOwave, mnuDSOFFT, mnuFFTwindow;
    std::array<Control, 6> mnuWindow; ///< mnuRectangular .. mnuBartlett, by window type
    Control mnuFFTdisplay, mnuLinear, mnuLog;
    Control mnuHelp, mnuHelpmain, mnuAbout;

    /// Status bar panels 1..4 at indices 0..3.
    std::array<TextControl, 4> panel{TextControl{"通信状态提示"}, TextControl{"仪表型号"},
                                     TextControl{"仪表工作状态"}, TextControl{"DMM记录间隔"}};
    TextControl caption{"PC520"};
    TextControl linkNote; ///< what happened to the link and why (panel 1's tool tip)
    TextControl Text1;    ///< the waveform title line

    LogControl RichTextBox1; ///< the DMM log

    DrawingTarget Picture1{kWhite}; ///< the scope screen
    Control Picture1Mouse;          ///< enabled: the scope screen takes mouse clicks
    Control Picture1Drops;          ///< checked: the scope screen accepts dropped files
    DrawingTarget Picture2{kBlack}; ///< the DMM digit panel
    Control Timer1;                 ///< enabled: the one-second record timer ticks
};

/// The interval items' seconds, in menu order.
inline constexpr std::array<int, 7> kRecordIntervals{1, 2, 5, 10, 20, 30, 60};

} // namespace qv::common
