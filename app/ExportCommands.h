#pragma once
#include "common/Form.h"
#include "dso/ScaleTables.h"
#include "platform/Pictures.h"
#include "spectrum/SpectrumView.h"

#include <optional>
#include <string>

namespace qv::app {

/// The Export items of the File menu, in menu order.
enum class ExportItem { WaveformCsv, SpectrumCsv, Png, Svg, Pdf, RecordCsv };

/// Exports what the window shows: the waveform and its spectrum as CSV, the scope screen as a
/// picture, the DMM log as CSV. The command line makes the same texts through the same methods.
class ExportCommands {
  public:
    /// Logical size of the scope screen in twips: the size of the clipboard copy.
    static constexpr double kScreenWidth = 5530, kScreenHeight = 5055;

    /// Everything passed in must outlive the commands.
    ExportCommands(common::Form &form, const dso::ScaleTables &tables,
                   spectrum::SpectrumView &spectrum)
        : form_(form), tables_(tables), spectrum_(spectrum) {}

    /// Where pictures are written; without one the picture items do nothing.
    void setPictureWriter(platform::PictureWriter *writer) { pictures_ = writer; }

    /// Whether an item has something to write: the DSO items a valid waveform in DSO mode, the
    /// record item a non-empty log in DMM mode.
    [[nodiscard]] bool available(ExportItem item) const;
    /// Enables each Export item exactly when it is available.
    void updateItems();
    /// An Export item: asks for a file name (adding the format's extension when the name has
    /// none, asking before replacing a file), writes the file atomically and says in a warning
    /// why a write failed. Does nothing when the item has nothing to write.
    void exportAs(int item);

    /// The contents of the CSV exports.
    [[nodiscard]] std::string waveformCsv() const;
    /// The spectrum of the waveform in the chosen window and scale (computed, not drawn).
    [[nodiscard]] std::string spectrumCsv();
    [[nodiscard]] std::string recordCsv() const;

    /// The path with ".ext" added when its file name has no extension.
    [[nodiscard]] static std::string withExtension(const std::string &path, const char *ext);

  private:
    [[nodiscard]] platform::PictureWriter::Result write(ExportItem item, const std::string &path);

    common::Form &form_;
    const dso::ScaleTables &tables_;
    spectrum::SpectrumView &spectrum_;
    platform::PictureWriter *pictures_ = nullptr;
};

} // namespace qv::app
