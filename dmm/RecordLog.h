#pragma once
#include "common/Form.h"

#include <cstdint>

namespace qv::dmm {

/// Interval recording of live DMM readings into the log box: the interval items, the start and
/// end commands, the one-second tick that appends the latest reading, and clearing the log.
///
/// The constructor binds RecordLog to the change events of the log box (RichTextBox1) and the title
/// box (Text1); it must outlive the Form's use of them and is neither copied nor moved.
class RecordLog {
  public:
    explicit RecordLog(common::Form &form);
    RecordLog(const RecordLog &) = delete;
    RecordLog &operator=(const RecordLog &) = delete;

    /// Selects the record interval n seconds: checks and disables its item (1, 2, 5, 10, 20, 30
    /// or 60; any other n leaves all items unchecked and enabled) and shows it in panel 4.
    void SetRecordTime(std::int16_t n);
    /// The interval item at index 0..6 (mnu1s .. mnu60s); other indices do nothing.
    void mnuInterval_Click(int index);

    /// The one-second timer: appends "  <time>    <value> <unit>" when a slot is due and a live
    /// reading waits. Does nothing while Timer1 is disabled.
    void Timer1_Timer();

    /// The DMMRecord toolbar button, after it toggled itself.
    void DMMRecord();
    void mnuDMMRecordStart_Click();
    void mnuDMMRecordPause_Click();

    /// Clears the log, offering first to save a non-empty one (Yes / No / Cancel).
    void NewRecord();

    /// Change handlers of the log box and the title box.
    void RichTextBox1_Change();
    void Text1_Change();

    [[nodiscard]] std::int16_t RecordInterval() const { return interval_; }
    [[nodiscard]] std::int16_t RecordTickCount() const { return tickCount_; }

  private:
    void setRecording(bool on);

    common::Form &form_;
    std::int16_t interval_ = 1;
    std::int16_t tickCount_ = 0;
};

} // namespace qv::dmm
