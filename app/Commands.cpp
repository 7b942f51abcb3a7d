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
    using C = Commands;
    using H = CommandHandlers;
    static constexpr Row kRows[] = {
        {"New", &H::NewRecord, nullptr},          {"Open", &H::FileOpen, nullptr},
        {"Save", &H::menuSave_Click, nullptr},    {"Print", &H::Printout, nullptr},
        {"Copy", &H::mnuCopy_Click, nullptr},     {"Link", &H::ComOnOff, nullptr},
        {"DMMmode", nullptr, &C::dmmMode},        {"DSOmode", nullptr, &C::dsoMode},
        {"StartStop", &H::StartStop, nullptr},    {"DMMRecord", &H::DMMRecord, nullptr},
        {"DSO_wave", nullptr, &C::waveformView},  {"DSO_FFT", nullptr, &C::spectrumView},
        {"XCursor", nullptr, &C::xCursorPressed}, {"YCursor", nullptr, &C::yCursorPressed},
    };
    dispatch(kRows, key);
}

void Commands::dispatch(std::span<const Row> rows, std::string_view name) {
    for (const Row &row : rows) {
        if (row.name != name)
            continue;
        if (row.handler)
            run(h_.*row.handler);
        else if (row.own)
            (this->*row.own)();
        return;
    }
}

void Commands::dmmMode() {
    DMMmode(form_);
}

void Commands::dsoMode() {
    DSOmode(form_);
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
    if (const int i = itemIndex(kExportItems, name); i >= 0)
        return runWith(h_.exportAs, i);
    if (const int port = comPortOf(name))
        return runWith(h_.COM, port);

    using C = Commands;
    using H = CommandHandlers;
    static constexpr Row kRows[] = {
        {"mnuNew", &H::NewRecord, nullptr},
        {"menuOpen", &H::FileOpen, nullptr},
        {"menuSave", &H::menuSave_Click, nullptr},
        {"mnuSaveAs", &H::mnuSaveAs_Click, nullptr},
        {"mnuPrint", &H::Printout, nullptr},
        {"mnuExit", &H::mnuExit_Click, nullptr},
        {"mnuCopy", &H::mnuCopy_Click, nullptr},
        {"mnuLink", &H::mnuLink_Click, nullptr},
        {"mnuBreak", &H::mnuBreak_Click, nullptr},
        {"mnuOtherPort", &H::mnuOtherPort_Click, nullptr},
        {"mnuStart", &H::mnuStart_Click, nullptr},
        {"mnuPause", &H::mnuPause_Click, nullptr},
        {"mnuDMMmode", nullptr, &C::dmmMode},
        {"mnuDSOmode", nullptr, &C::dsoMode},
        {"mnuDMMRecordStart", &H::mnuDMMRecordStart_Click, nullptr},
        {"mnuDMMRecordPause", &H::mnuDMMRecordPause_Click, nullptr},
        {"mnuTrend", &H::mnuTrend_Click, nullptr},
        {"mnuDSOwave", &H::mnuDSOwave_Click, nullptr},
        {"mnuDSOFFT", &H::mnuDSOFFT_Click, nullptr},
        {"mnuLinear", &H::mnuLinear_Click, nullptr},
        {"mnuLog", &H::mnuLog_Click, nullptr},
        {"mnuAbout", &H::mnuAbout_Click, nullptr},
        {"mnuHelpmain", nullptr, nullptr},
    };
    dispatch(kRows, name);
}

} // namespace qv::app
