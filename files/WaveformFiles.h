#pragma once
#include "common/Form.h"
#include "files/WaveformRecord.h"

#include <string>
#include <vector>

namespace qv::files {

/// The waveform file commands: Save, Save As, Open and files dropped on the scope screen.
class WaveformFiles {
  public:
    static constexpr const char *kSaveFilter =
        "DSO波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*";
    static constexpr const char *kSaveAsFilter =
        "波形文件(*.dso)|*.dso|文档文件(*.txt)|*.txt|所有文件(*.*)|*.*";
    static constexpr const char *kOpenFilter = "DSO波形文件(*.dso)|*.dso|所有文件(*.*)|*.*";

    explicit WaveformFiles(common::Form &form) : form_(form) {}

    /// Saves the waveform on screen under name. An empty name asks for one first (with the
    /// overwrite question); dialog failures are silent. A
    /// failure writing under a given name leaves Save enabled and says so in a message box.
    /// Success sets the caption and CurrentFileName and disables Save. True when saved.
    bool SaveFile(const std::string &name);
    /// Asks for a file name, with the overwrite question, and saves under it; silent on failure.
    void mnuSaveAs_Click();
    /// The Save command: the DMM record (form.call.SaveDMMRecord) while the DMMmode button is
    /// down, otherwise the waveform under CurrentFileName.
    void menuSave_Click();
    /// The Open command: asks for a file and opens it.
    void FileOpen();
    /// Reads a waveform file and shows it. Nothing changes unless the whole file is read and
    /// accepted; a wrong header or model name is reported, other failures are silent. True when
    /// the file was opened.
    bool FileOpen0(const std::string &name);
    /// Files dropped on the scope screen: opens a single file while the screen accepts drops
    /// (Picture1Drops checked); several files at once open nothing.
    void Picture1_OLEDragDrop(const std::vector<std::string> &paths);

  private:
    // Writes the waveform into CurrentFileName: on success the caption follows and Save is
    // disabled; a failure is shown with the file's name and the reason.
    bool writeCurrent();

    common::Form &form_;
};

/// The waveform on the scope as the waveform file stores it (model, title, date, settings,
/// samples).
[[nodiscard]] WaveformRecord waveformRecordOf(const common::Form &form);

} // namespace qv::files
