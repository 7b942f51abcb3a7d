#include "app/FrameBrowser.h"

namespace qv::app {
namespace {

std::string frameText(std::size_t number, std::size_t count, const std::string &time) {
    return "帧 " + std::to_string(number) + "/" + std::to_string(count) + ", " + time;
}

} // namespace

FrameBrowser::FrameBrowser(common::Form &form, std::size_t capacity)
    : form_(form), history_(capacity) {
    common::Elements &el = form_.el;
    // Starting acquisition again returns to live; the run state and the mode decide the items.
    el.mnuStart.subscribe([this] {
        if (form_.el.mnuStart.checked() && position_)
            backToLive();
        updateItems();
    });
    el.DSOmode.subscribe([this] {
        if (!form_.el.DSOmode.checked())
            waveShown(); // DMM mode: no frame is shown
        updateItems();
    });
    updateItems();
}

bool FrameBrowser::stopped() const {
    return !form_.el.mnuStart.checked() && form_.el.DSOmode.checked();
}

void FrameBrowser::updateItems() {
    const bool can = stopped() && !history_.empty();
    const std::size_t newest = history_.size() - 1;
    previousItem.setEnabled(can && (!position_ || *position_ > 0));
    nextItem.setEnabled(can && position_ && *position_ < newest);
}

void FrameBrowser::frameArrived() {
    history_.add(
        {form_.wave, form_.v.MeterModelCode, form_.v.MeterModelName, form_.os.clock.longTime()});
    updateItems();
}

void FrameBrowser::waveShown() {
    if (showing_ || !position_)
        return;
    // The frame shown drawn again (the other view, a new window): still stepping.
    const common::Waveform &shown = history_.at(*position_).wave;
    if (form_.el.DSOmode.checked() && form_.wave.WaveData == shown.WaveData &&
        form_.wave.DsoParam == shown.DsoParam)
        return;
    if (form_.el.panel[3].text() ==
        frameText(*position_ + 1, history_.size(), history_.at(*position_).receivedAt))
        form_.el.panel[3].setText(panelBefore_);
    position_.reset();
}

void FrameBrowser::previous() {
    if (!stopped() || history_.empty())
        return;
    if (position_) {
        if (*position_ > 0)
            show(*position_ - 1);
        return;
    }
    // Not stepping yet: the screen shows the newest frame (one step back is the one before it),
    // or something else (a file), from which the newest frame is one step back.
    const std::size_t newest = history_.size() - 1;
    const bool newestShown = form_.wave.WaveData == history_.at(newest).wave.WaveData &&
                             form_.wave.DsoParam == history_.at(newest).wave.DsoParam;
    if (newestShown && newest == 0)
        return;
    show(newestShown ? newest - 1 : newest);
}

void FrameBrowser::next() {
    if (!stopped() || !position_ || *position_ + 1 >= history_.size())
        return;
    show(*position_ + 1);
}

void FrameBrowser::backToLive() {
    if (!position_)
        return;
    const std::size_t newest = history_.size() - 1;
    show(newest);
    form_.el.panel[3].setText(panelBefore_);
    position_.reset();
}

void FrameBrowser::show(std::size_t index) {
    common::Elements &el = form_.el;
    if (!position_)
        panelBefore_ = el.panel[3].text();
    position_ = index;
    const dso::HistoryFrame &frame = history_.at(index);
    form_.wave = frame.wave;
    form_.v.MeterModelCode = frame.modelCode;
    form_.v.MeterModelName = frame.modelName;
    // As a frame just received: unsaved, named by no file.
    form_.v.CurrentFileName.clear();
    el.Text1.setText(frame.wave.WaveTitle);
    el.Save.setEnabled(true);
    el.menuSave.setEnabled(true);
    showing_ = true;
    common::Procedures::run(el.DSO_wave.checked() ? form_.call.DSO_display
                                                  : form_.call.FFT_Display);
    showing_ = false;
    el.panel[3].setText(frameText(index + 1, history_.size(), frame.receivedAt));
    updateItems();
}

} // namespace qv::app
