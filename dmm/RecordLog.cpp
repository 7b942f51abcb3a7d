#include "dmm/RecordLog.h"

#include "dmm/ReadingText.h"

#include <string>

namespace qv::dmm {
namespace {

platform::Message saveQuestion() {
    platform::Message m;
    m.text = "是否保存当前数据！";
    m.title = "请确认操作";
    m.buttons = platform::Buttons::YesNoCancel;
    m.warning = true;
    m.defaultButton = platform::Answer::Yes;
    return m;
}

} // namespace

RecordLog::RecordLog(common::Form &form) : form_(form) {
    form_.el.RichTextBox1.setOnChange([this] { RichTextBox1_Change(); });
    form_.el.Text1.subscribe([this] { Text1_Change(); });
}

void RecordLog::SetRecordTime(std::int16_t n) {
    auto &items = form_.el.mnuInterval;
    for (auto &item : items)
        item.setChecked(false);
    for (auto &item : items)
        item.setEnabled(true);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (common::kRecordIntervals[i] != n)
            continue;
        items[i].setChecked(true);
        items[i].setEnabled(false);
    }
    interval_ = n;
    form_.el.panel[3].setText("数据间隔" + std::to_string(n) + "s");
}

void RecordLog::mnuInterval_Click(int index) {
    if (index < 0 || index >= static_cast<int>(common::kRecordIntervals.size()))
        return;
    SetRecordTime(
        static_cast<std::int16_t>(common::kRecordIntervals[static_cast<std::size_t>(index)]));
}

void RecordLog::Timer1_Timer() {
    if (!form_.el.Timer1.enabled())
        return;
    if (interval_ != 1) {
        if (tickCount_ < interval_) {
            ++tickCount_;
            return;
        }
        tickCount_ = 1;
    }
    if (!form_.v.DMMSampleReady)
        return;
    const std::string &reading = form_.v.DMMReading;
    const std::string line = "  " + form_.os.clock.longTime() + "    " + valueField(reading) + " " +
                             unitField(reading) + "\r\n";
    form_.el.RichTextBox1.append(line);
    form_.el.RichTextBox1.moveCaretToEnd();
    form_.v.DMMSampleReady = false;
}

void RecordLog::setRecording(bool on) {
    common::Elements &el = form_.el;
    if (on) {
        el.mnuDMMRecordStart.setChecked(true);
        el.mnuDMMRecordStart.setEnabled(false);
        el.mnuDMMRecordPause.setChecked(false);
        el.mnuDMMRecordPause.setEnabled(true);
    } else {
        el.mnuDMMRecordPause.setChecked(true);
        el.mnuDMMRecordPause.setEnabled(false);
        el.mnuDMMRecordStart.setChecked(false);
        el.mnuDMMRecordStart.setEnabled(true);
    }
}

void RecordLog::DMMRecord() {
    setRecording(form_.el.DMMRecord.checked());
}

void RecordLog::mnuDMMRecordStart_Click() {
    setRecording(true);
    form_.el.DMMRecord.setChecked(true);
}

void RecordLog::mnuDMMRecordPause_Click() {
    setRecording(false);
    form_.el.DMMRecord.setChecked(false);
}

void RecordLog::NewRecord() {
    common::LogControl &log = form_.el.RichTextBox1;
    if (!log.text().empty()) {
        const platform::Answer a = form_.os.messages.show(saveQuestion());
        if (a == platform::Answer::Yes) {
            // Without a save procedure nothing can be saved, so the log is kept.
            const bool saved = form_.call.SaveDMMRecord && form_.call.SaveDMMRecord();
            if (!saved)
                return;
        } else if (a != platform::Answer::No) {
            return;
        }
    }
    log.setText({});
}

void RecordLog::RichTextBox1_Change() {
    form_.el.Save.setEnabled(true);
    form_.el.menuSave.setEnabled(true);
}

void RecordLog::Text1_Change() {
    form_.el.Save.setEnabled(true);
    form_.el.menuSave.setEnabled(true);
    if (form_.el.DSO_wave.checked())
        form_.wave.WaveTitle = form_.el.Text1.text();
}

} // namespace qv::dmm
