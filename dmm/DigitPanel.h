#pragma once
#include "common/Form.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace qv::dmm {

/// The DMM digit panel (Picture2): the live reading in big digits, the play-back progress marks
/// and the play-back text messages. Coordinates are twips from the panel's top-left corner.
class DigitPanel {
  public:
    explicit DigitPanel(common::Form &form) : form_(form) {}

    /// Redraws the panel from DMMReading: the value (characters 1..6) in 43 pt at (300, 40), the
    /// unit (characters 7..16, trimmed) in 12 pt ending near x = 3000. Draws nothing while
    /// acquisition is stopped (mnuStart unchecked), so the last reading stays.
    void Display_DMMReading();

    /// The link went down: a live reading the panel still shows is drawn again in grey, with
    /// "通信已断开" under it, so a value no longer measured never looks live. Nothing changes
    /// while acquisition is stopped, in DSO mode, or when the panel shows anything else (a
    /// play-back message, progress marks, nothing); the next reading draws normally again.
    void showLinkLost();

    /// One progress mark of a stored record n, 23 twips apart, 20 wide.
    void showProgressMark(int n);

    /// Blacks out the message line from (400, 300) to the panel's right edge, above the progress
    /// marks, so nothing of an earlier message stays.
    void blankMessageLine();

    /// A play-back text message: "Data e..." blanks the message line (keeping the progress
    /// marks), anything else clears the panel; then the text in 12 pt at (400, 300).
    void showMessage(const std::string &text);

  private:
    /// The value and unit of a reading in this colour, on a cleared panel.
    void drawReading(const std::string &reading, common::Rgb colour);
    /// Notes that the panel now shows this reading (live or dimmed) and nothing after it.
    void markShown(std::string reading);
    [[nodiscard]] bool showsReading() const;

    common::Form &form_;
    /// The reading drawn last, and the panel's list (its clear count and length) just after.
    std::string shown_;
    std::optional<std::pair<std::uint64_t, std::size_t>> shownList_;
};

} // namespace qv::dmm
