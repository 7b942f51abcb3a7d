#pragma once
#include "app/Commands.h"
#include "app/ExportCommands.h"
#include "app/FrameBrowser.h"
#include "app/ReferenceKeeper.h"
#include "common/Form.h"
#include "cursors/ScreenCursors.h"
#include "dmm/DmmDecoder.h"
#include "dmm/RecordLog.h"
#include "dso/DsoDecoder.h"
#include "dso/Measurements.h"
#include "dso/ScaleTables.h"
#include "files/DmmRecordFile.h"
#include "files/WaveformFiles.h"
#include "link/ReceiveDispatch.h"
#include "link/RunControl.h"
#include "link/SerialLink.h"
#include "output/Printing.h"
#include "spectrum/SpectrumView.h"
#include "spectrum/WindowTable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qv::app {

/// The whole program without its widgets: the shared form state, every subsystem, and the
/// wiring between them. The window shows the elements and feeds the events in; tests drive it
/// with the platform doubles.
class Program {
  public:
    /// historyFrames: how many frames the history keeps (0: none).
    explicit Program(platform::Platform &platform,
                     std::size_t historyFrames = dso::FrameHistory::kDefaultCapacity);
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    [[nodiscard]] common::Form &form() { return form_; }
    [[nodiscard]] Commands &commands() { return commands_; }
    [[nodiscard]] const dso::Measurements &measurements() const { return measurements_; }
    [[nodiscard]] const spectrum::SpectrumView &spectrum() const { return spectrum_; }
    [[nodiscard]] const cursors::ScreenCursors &cursors() const { return cursors_; }
    [[nodiscard]] files::WaveformFiles &waveFiles() { return waveFiles_; }
    [[nodiscard]] ExportCommands &exports() { return exports_; }
    [[nodiscard]] link::SerialLink &serialLink() { return serialLink_; }
    [[nodiscard]] const dso::DsoDecoder &dsoDecoder() const { return dsoDecoder_; }
    [[nodiscard]] const dso::ScaleTables &tables() const { return tables_; }
    [[nodiscard]] FrameBrowser &frames() { return frames_; }
    [[nodiscard]] ReferenceKeeper &reference() { return reference_; }
    /// Wave > Spectrum > Peak readout: shows or hides the spectrum's peak readout.
    void setPeakReadout(bool on);

    /// Start-up: the initial element states, tables, DMM mode, 1 s records, no cursors, and the
    /// search for the meter.
    void Form_Load();
    void MSComm1_OnComm(int code) { dispatch_.MSComm1_OnComm(code); }
    void Timer1_Timer() { recordLog_.Timer1_Timer(); }
    void Picture1_MouseDown(int button, int shift, double x, double y);
    void Picture1_OLEDragDrop(const std::vector<std::string> &paths);
    /// The window's caption from a file path: the name after the last "\" or "/".
    void CaptionChange(const std::string &fileName);
    void mnuAbout_Click();

    /// Set by the window: ends the program (Exit); shows the trend window (Trend…).
    std::function<void()> quit, openTrend;
    /// Set by the window: a waveform was drawn (a frame, a file, a frame of the history).
    std::function<void()> waveShown;

  private:
    CommandHandlers handlers();
    void wireProcedures();
    void COM_DSO();
    void shown();

    common::Form form_;
    spectrum::WindowTable windows_;
    dso::ScaleTables tables_;
    dso::Measurements measurements_;
    dso::DsoDecoder dsoDecoder_;
    dmm::DmmDecoder dmmDecoder_;
    dmm::RecordLog recordLog_;
    link::SerialLink serialLink_;
    link::RunControl runControl_;
    link::ReceiveDispatch dispatch_;
    spectrum::SpectrumView spectrum_;
    cursors::ScreenCursors cursors_;
    files::WaveformFiles waveFiles_;
    files::DmmRecordFile recordFile_;
    output::Printing printing_;
    ExportCommands exports_{form_, tables_, spectrum_};
    FrameBrowser frames_;
    ReferenceKeeper reference_{form_, tables_};
    Commands commands_;
};

/// The base name of a path as the caption shows it: everything after the last "\" or "/".
[[nodiscard]] std::string captionFor(const std::string &fileName);

} // namespace qv::app
