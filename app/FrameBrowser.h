#pragma once
#include "common/Control.h"
#include "common/Form.h"
#include "dso/FrameHistory.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace qv::app {

/// The frames before this one: every frame shown live goes into the history; while acquisition
/// is stopped in DSO mode, Previous and Next show them one by one in the active view, status
/// panel 4 naming the frame ("帧 37/100, 10:15:03"). Save, Export, Print and Copy then act on the
/// frame shown, which is the form's waveform. Starting acquisition returns to the newest frame.
class FrameBrowser {
  public:
    FrameBrowser(common::Form &form, std::size_t capacity);
    FrameBrowser(const FrameBrowser &) = delete;
    FrameBrowser &operator=(const FrameBrowser &) = delete;

    [[nodiscard]] dso::FrameHistory &history() { return history_; }
    [[nodiscard]] const dso::FrameHistory &history() const { return history_; }

    /// A frame was completed and shown live: it joins the history.
    void frameArrived();
    /// Some other command showed a waveform (a file opened): the frame shown is no history's.
    void waveShown();
    /// Wave > Previous frame / Next frame.
    void previous();
    void next();
    /// Leaves the history for the newest frame (acquisition started again).
    void backToLive();

    /// The history frame shown (0 = oldest) while stepping; none when live.
    [[nodiscard]] std::optional<std::size_t> position() const { return position_; }
    /// Enabled while stepping back or forth can show a frame.
    common::Control previousItem, nextItem;

  private:
    void show(std::size_t index);
    void updateItems();
    [[nodiscard]] bool stopped() const;

    common::Form &form_;
    dso::FrameHistory history_;
    std::optional<std::size_t> position_;
    std::string panelBefore_; ///< panel 4's text before stepping began
    bool showing_ = false;    ///< the browser itself is redrawing
};

} // namespace qv::app
