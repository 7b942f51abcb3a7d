#pragma once
#include "app/Program.h"
#include "app/cli/HeadlessPlatform.h"

#include <optional>
#include <string>

namespace qv::app::cli {

/// The program without its window, in DSO mode, showing waveform files on its scope screen
/// exactly as the window would: the same program, the same drawing, the same measurements.
class HeadlessScope {
  public:
    struct View {
        bool spectrum = false; ///< the spectrum view instead of the waveform view
        int window = 1;        ///< window type 0..5
        bool db = false;       ///< the dB scale of the spectrum
    };

    /// measure: text measured as the window draws it, as pictures need (kept by the caller);
    /// null: the program's estimate places text, which moves no value, text or measurement,
    /// only where a picture would put the text.
    HeadlessScope(const View &view, const common::TextMeasure *measure);
    HeadlessScope(const HeadlessScope &) = delete;
    HeadlessScope &operator=(const HeadlessScope &) = delete;

    /// Opens a waveform file as Open does. On refusal: the message the window would show (or the
    /// file's name) and why, e.g. "a.dso 文件格式不正确 (unknown meter model "X")".
    [[nodiscard]] std::optional<std::string> open(const std::string &path);

    [[nodiscard]] Program &program() { return program_; }
    [[nodiscard]] const common::DrawingTarget &screen() { return program_.form().el.Picture1; }

  private:
    HeadlessPlatform platform_;
    Program program_{platform_.platform(), 0}; // no frame history: nothing steps back
};

/// Why a waveform file is refused: "no such file", "not a readable file", "not text" (a NUL byte
/// in its beginning), or what the waveform format says ("line 7: \"1e400\" is not a number",
/// "unknown meter model ..."); empty when it is accepted.
[[nodiscard]] std::string refusalReason(const std::string &path);

} // namespace qv::app::cli
