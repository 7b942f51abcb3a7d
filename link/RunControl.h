#pragma once
#include "common/Form.h"

namespace qv::link {

/// Run control: the `StartStop` toolbar toggle and the Run menu items `mnuStart` and `mnuPause`.
/// Local to the program: packets keep arriving; what is done with them depends on the state.
class RunControl {
  public:
    explicit RunControl(common::Form &form) : form_(form) {}

    /// The `StartStop` toggle, after the click changed the button.
    void StartStop();
    void mnuStart_Click();
    void mnuPause_Click();

    /// True while acquisition runs (`mnuStart` checked).
    [[nodiscard]] bool running() const { return form_.el.mnuStart.checked(); }

  private:
    void showRunning();
    void showStopped();
    void enableRecording();
    void endRecording();

    common::Form &form_;
};

} // namespace qv::link
