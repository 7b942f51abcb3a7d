#include "app/Commands.h"

#include "app/Layout.h"
#include "app/ModeSwitch.h"
#include "common/ViewItems.h"

#include <array>
#include <string>

namespace qv::app {

using common::Procedures;

namespace {

void run(const std::function<void()> &f) {
    Procedures::run(f);
}

void runWith(const std::function<void(int)> &f, int arg) {
    if (f)
        f(arg);
}

} // namespace

void Commands::pressButton(std::string_view key) {
    const ButtonSpec *layout = findButton(key);
    if (!layout)
        return;
    common::Control &button = form_.el.*(layout->element);
    if (!button.enabled())
        return;
    switch (layout->style) {
    case ButtonStyle::Push:
        break;
    case ButtonStyle::Toggle:
        button.setChecked(!button.checked());
        break;
    case ButtonStyle::Group:
        if (button.checked() && (key == "DMMmode" || key == "DSOmode"))
            return;
        button.setChecked(true);
        break;
    }
    Toolbar1_ButtonClick(key);
}

void Commands::Toolbar1_ButtonClick(std::string_view key) {
    if (key == "New")
        run(h_.NewRecord);
    else if (key == "Open")
        run(h_.FileOpen);
    else if (key == "Save")
        run(h_.menuSave_Click);
    else if (key == "Print")
        run(h_.Printout);
    else if (key == "Copy")
        run(h_.mnuCopy_Click);
    else if (key == "Link")
        run(h_.ComOnOff);
    else if (key == "DMMmode")
        DMMmode(form_);
    else if (key == "DSOmode")
        DSOmode(form_);
    else if (key == "StartStop")
        run(h_.StartStop);
    else if (key == "DMMRecord")
        run(h_.DMMRecord);
    else if (key == "DSO_wave")
        waveformView();
    else if (key == "DSO_FFT")
        spectrumView();
    else if (key == "XCursor")
        xCursorPressed();
    else if (key == "YCursor")
        yCursorPressed();
}

void Commands::waveformView() {
    common::markView(form_.el, true);
    if (form_.el.DSO_wave.checked())
        run(form_.call.DSO_display);
}

void Commands::spectrumView() {
    common::markView(form_.el, false);
    if (!form_.el.DSO_wave.checked())
        run(form_.call.FFT_Display);
}

void Commands::xCursorPressed() {
    auto &mode = form_.v.CursorMode;
    switch (mode) {
    case 0:
        mode = 1;
        break;
    case 1:
        run(form_.call.CloseHCursor);
        mode = 0;
        run(form_.call.Clear_dVdt);
        break;
    case 2:
        run(form_.call.CloseVCursor);
        mode = 1;
        run(form_.call.Clear_dVdt);
        form_.el.YCursor.setChecked(false);
        break;
    default:
        break;
    }
}

void Commands::yCursorPressed() {
    auto &mode = form_.v.CursorMode;
    switch (mode) {
    case 0:
        mode = 2;
        break;
    case 1:
        run(form_.call.CloseHCursor);
        form_.el.XCursor.setChecked(false);
        mode = 2;
        run(form_.call.Clear_dVdt);
        break;
    case 2:
        run(form_.call.CloseVCursor);
        mode = 0;
        run(form_.call.Clear_dVdt);
        break;
    default:
        break;
    }
}

void Commands::clickMenu(std::string_view name) {
    if (common::Control *item = menuElement(form_.el, name); item && !item->enabled())
        return;
    if (const int i = itemIndex(kIntervalItems, name); i >= 0)
        return runWith(h_.SetRecordTime, common::kRecordIntervals[static_cast<size_t>(i)]);
    if (const int i = itemIndex(kWindowItems, name); i >= 0)
        return runWith(h_.chooseWindow, i);
    if (const int port = comPortOf(name))
        return runWith(h_.COM, port);

    if (name == "mnuNew")
        run(h_.NewRecord);
    else if (name == "menuOpen")
        run(h_.FileOpen);
    else if (name == "menuSave")
        run(h_.menuSave_Click);
    else if (name == "mnuSaveAs")
        run(h_.mnuSaveAs_Click);
    else if (name == "mnuPrint")
        run(h_.Printout);
    else if (name == "mnuExit")
        run(h_.mnuExit_Click);
    else if (name == "mnuCopy")
        run(h_.mnuCopy_Click);
    else if (name == "mnuLink")
        run(h_.mnuLink_Click);
    else if (name == "mnuBreak")
        run(h_.mnuBreak_Click);
    else if (name == "mnuStart")
        run(h_.mnuStart_Click);
    else if (name == "mnuPause")
        run(h_.mnuPause_Click);
    else if (name == "mnuDMMmode")
        DMMmode(form_);
    else if (name == "mnuDSOmode")
        DSOmode(form_);
    else if (name == "mnuDMMRecordStart")
        run(h_.mnuDMMRecordStart_Click);
    else if (name == "mnuDMMRecordPause")
        run(h_.mnuDMMRecordPause_Click);
    else if (name == "mnuDSOwave")
        run(h_.mnuDSOwave_Click);
    else if (name == "mnuDSOFFT")
        run(h_.mnuDSOFFT_Click);
    else if (name == "mnuLinear")
        run(h_.mnuLinear_Click);
    else if (name == "mnuLog")
        run(h_.mnuLog_Click);
    else if (name == "mnuAbout")
        run(h_.mnuAbout_Click);
}

} // namespace qv::app
