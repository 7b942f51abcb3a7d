#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace qv::common {

/// The DMM log box: plain text whose lines end in CR LF. Appending costs only the new line, for
/// the text and for the view, however long the log grows.
class LogControl {
  public:
    /// How the view learns about changes: the whole text replaced, text added at the end, the
    /// caret moved to the end, or the enabled state changed.
    struct View {
        std::function<void(const std::string &)> replaced;
        std::function<void(std::string_view)> appended;
        std::function<void()> caretToEnd;
        std::function<void(bool)> enabledChanged;
    };

    [[nodiscard]] const std::string &text() const { return text_; }
    [[nodiscard]] bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    /// Replaces the whole text.
    void setText(std::string text);
    /// Adds text at the end.
    void append(std::string_view more);
    /// Puts the caret after the last character, so the newest line is in view.
    void moveCaretToEnd();
    /// The user edited the box: the view already shows the text, only the program learns of it.
    void editedByUser(std::string text);

    void setView(View view) { view_ = std::move(view); }
    /// Runs after every change of the text, whoever made it.
    void setOnChange(std::function<void()> f) { onChange_ = std::move(f); }
    /// Runs after text was added at the end, with that text (the capture and the recovery file).
    void setOnAppend(std::function<void(std::string_view)> f) { onAppend_ = std::move(f); }
    /// Runs after the whole text was replaced or edited, with the new text (the recovery file).
    void setOnReplace(std::function<void(const std::string &)> f) { onReplace_ = std::move(f); }

  private:
    void changed() const {
        if (onChange_)
            onChange_();
    }

    std::string text_;
    bool enabled_ = true;
    View view_;
    std::function<void()> onChange_;
    std::function<void(std::string_view)> onAppend_;
    std::function<void(const std::string &)> onReplace_;
};

} // namespace qv::common
