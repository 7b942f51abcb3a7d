#include "app/ModeSwitch.h"

#include "common/ViewItems.h"

namespace qv::app {

using common::Procedures;

namespace {

void clearDisplays(common::Form &form, bool logEnabled) {
    auto &el = form.el;
    el.Text1.setText("");
    el.Picture2.clear();
    el.RichTextBox1.setText("");
    el.RichTextBox1.setEnabled(logEnabled);
}

} // namespace

void DMMmode(common::Form &form) {
    auto &el = form.el;
    el.Picture1Mouse.setEnabled(false);
    form.v.ModeMismatchCount = 0;
    el.DMMmode.setChecked(true);
    el.mnuDMMmode.setChecked(true);
    el.mnuDMMmode.setEnabled(false);
    el.DSOmode.setChecked(false);
    el.mnuDSOmode.setChecked(false);
    el.mnuDSOmode.setEnabled(true);
    el.StartStop.setChecked(true);
    el.DMMRecord.setChecked(false);
    el.DMMRecord.setEnabled(true);
    el.mnuDMMRecordPause.setChecked(true);
    el.mnuDMMRecordPause.setEnabled(false);
    el.mnuDMMRecordStart.setChecked(false);
    el.mnuDMMRecordStart.setEnabled(true);
    el.mnuPause.setChecked(false);
    el.mnuPause.setEnabled(true);
    el.mnuStart.setChecked(true);
    el.mnuStart.setEnabled(false);
    Procedures::run(form.call.Display_Coordinate_screen);
    el.DSO_wave.setChecked(false);
    el.DSO_wave.setEnabled(false);
    el.mnuDSOdis.setEnabled(false);
    el.DSO_FFT.setChecked(false);
    el.DSO_FFT.setEnabled(false);
    el.mnuDSOFFT.setEnabled(false);
    el.XCursor.setChecked(false);
    el.XCursor.setEnabled(false);
    el.YCursor.setChecked(false);
    el.YCursor.setEnabled(false);
    el.mnuDMMrecord.setEnabled(true);
    el.Timer1.setEnabled(true);
    clearDisplays(form, true);
    el.Save.setEnabled(false);
    el.menuSave.setEnabled(false);
    el.Print.setEnabled(false);
    el.mnuPrint.setEnabled(false);
    el.mnuSaveAs.setEnabled(false);
}

void DSOmode(common::Form &form) {
    auto &el = form.el;
    el.Picture1Mouse.setEnabled(true);
    form.v.ModeMismatchCount = 0;
    el.DSOmode.setChecked(true);
    el.mnuDSOmode.setChecked(true);
    el.mnuDSOmode.setEnabled(false);
    el.DMMmode.setChecked(false);
    el.mnuDMMmode.setChecked(false);
    el.mnuDMMmode.setEnabled(true);
    el.DSO_wave.setChecked(true);
    el.DSO_wave.setEnabled(true);
    el.mnuDSOdis.setEnabled(false);
    el.DMMRecord.setEnabled(false);
    el.DMMRecord.setChecked(false);
    el.StartStop.setChecked(true);
    el.Picture1Drops.setChecked(false);
    el.mnuDMMRecordPause.setChecked(true);
    el.mnuDMMRecordPause.setEnabled(false);
    el.mnuDMMRecordStart.setChecked(false);
    el.mnuDMMRecordStart.setEnabled(false);
    el.mnuPause.setChecked(false);
    el.mnuPause.setEnabled(true);
    el.mnuStart.setChecked(true);
    el.mnuStart.setEnabled(false);
    el.mnuDSOdis.setEnabled(true);
    Procedures::run(form.call.Display_Coordinate_screen);
    common::markView(el, true);
    el.DSO_wave.setChecked(true);
    if (form.wave.WaveValid) {
        el.DSO_FFT.setEnabled(true);
        el.XCursor.setEnabled(true);
        el.YCursor.setEnabled(true);
        Procedures::run(form.call.DSO_display);
    }
    el.mnuDMMrecord.setEnabled(false);
    el.Timer1.setEnabled(false);
    clearDisplays(form, false);
}

} // namespace qv::app
