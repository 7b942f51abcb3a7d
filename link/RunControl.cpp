#include "link/RunControl.h"

namespace qv::link {

void RunControl::showRunning() {
    common::Elements &el = form_.el;
    el.mnuStart.setChecked(true);
    el.mnuStart.setEnabled(false);
    el.mnuPause.setChecked(false);
    el.mnuPause.setEnabled(true);
    el.StartStop.setChecked(true);
}

void RunControl::showStopped() {
    common::Elements &el = form_.el;
    el.mnuPause.setChecked(true);
    el.mnuPause.setEnabled(false);
    el.mnuStart.setChecked(false);
    el.mnuStart.setEnabled(true);
    el.StartStop.setChecked(false);
}

void RunControl::enableRecording() {
    form_.el.mnuDMMRecordStart.setEnabled(true);
    form_.el.DMMRecord.setEnabled(true);
}

void RunControl::endRecording() {
    common::Procedures::run(form_.call.mnuDMMRecordPause_Click);
    form_.el.mnuDMMRecordStart.setEnabled(false);
    form_.el.DMMRecord.setChecked(false);
    form_.el.DMMRecord.setEnabled(false);
}

void RunControl::StartStop() {
    common::Elements &el = form_.el;
    const bool dmm = el.DMMmode.checked();
    if (el.StartStop.checked()) {
        showRunning();
        if (dmm)
            enableRecording();
        else
            el.Picture1Drops.setChecked(false);
        return;
    }
    showStopped();
    if (dmm)
        endRecording();
    else
        el.Picture1Drops.setChecked(true);
}

void RunControl::mnuStart_Click() {
    showRunning();
    if (form_.el.DMMmode.checked())
        enableRecording();
}

void RunControl::mnuPause_Click() {
    showStopped();
    endRecording();
}

} // namespace qv::link
