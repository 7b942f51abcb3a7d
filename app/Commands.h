#pragma once
#include "common/Form.h"

#include <functional>
#include <span>
#include <string_view>

namespace qv::app {

/// What the commands call in the subsystems. The window fills these in; an empty one does
/// nothing.
struct CommandHandlers {
    std::function<void()> NewRecord, FileOpen, menuSave_Click, mnuSaveAs_Click, Printout,
        mnuCopy_Click, ComOnOff, StartStop, DMMRecord, mnuLink_Click, mnuBreak_Click,
        mnuStart_Click, mnuPause_Click, mnuDMMRecordStart_Click, mnuDMMRecordPause_Click,
        mnuDSOwave_Click, mnuDSOFFT_Click, mnuLinear_Click, mnuLog_Click, mnuAbout_Click,
        mnuExit_Click, mnuOtherPort_Click, mnuTrend_Click;
    std::function<void(int)> COM;           ///< port 1..8
    std::function<void(int)> SetRecordTime; ///< seconds
    std::function<void(int)> chooseWindow;  ///< window type 0..5
    std::function<void(int)> exportAs;      ///< Export item 0..5 (kExportItems)
};

/// The toolbar and the menus: a pressed button takes its new state by its style, then its key is
/// dispatched; a menu click calls its item's procedure.
class Commands {
  public:
    Commands(common::Form &form, CommandHandlers handlers) : form_(form), h_(std::move(handlers)) {}

    /// A click on the toolbar button with this key: a toggle flips, a group button goes down and
    /// raises its partner, then Toolbar1_ButtonClick runs. A click on the mode button that is
    /// already down does nothing (it would empty the DMM log without asking).
    void pressButton(std::string_view key);
    /// Dispatches on the key, compared exactly; an unknown key does nothing.
    void Toolbar1_ButtonClick(std::string_view key);
    /// A click on the menu item of this name (disabled items are not clickable).
    void clickMenu(std::string_view name);

  private:
    /// One command: a name and either a handler of the window or a procedure of this class.
    struct Row {
        std::string_view name;
        std::function<void()> CommandHandlers::*handler;
        void (Commands::*own)();
    };
    void dispatch(std::span<const Row> rows, std::string_view name);
    void dmmMode();
    void dsoMode();
    void waveformView();
    void spectrumView();
    void xCursorPressed();
    void yCursorPressed();

    common::Form &form_;
    CommandHandlers h_;
};

} // namespace qv::app
