#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::common {

/// Observers of an element: the window binds its widgets here, the program its change handlers.
class Observable {
  public:
    void subscribe(std::function<void()> f) { observers_.push_back(std::move(f)); }

  protected:
    void notify() const {
        for (const auto &f : observers_)
            f();
    }

  private:
    std::vector<std::function<void()>> observers_;
};

/// A menu item or toolbar button: its enabled state and its checked (menu) or down (button)
/// state. These states are the program's state: the run state, link state, mode and view are read
/// back from them. Created enabled and unchecked.
class Control : public Observable {
  public:
    Control() = default;
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    [[nodiscard]] bool enabled() const { return enabled_; }
    [[nodiscard]] bool checked() const { return checked_; }
    void setEnabled(bool on);
    /// Checks or unchecks; a button of a group pair that goes down raises its partner.
    void setChecked(bool on);
    /// Makes the two buttons a group pair, of which at most one is down.
    static void pair(Control &a, Control &b);

  private:
    bool enabled_ = true;
    bool checked_ = false;
    Control *partner_ = nullptr;
};

/// A text element: a status bar panel, the title box, the window caption.
class TextControl : public Observable {
  public:
    TextControl() = default;
    explicit TextControl(std::string initial) : text_(std::move(initial)) {}
    TextControl(const TextControl &) = delete;
    TextControl &operator=(const TextControl &) = delete;

    [[nodiscard]] const std::string &text() const { return text_; }
    /// Sets the text; observers run only when it really changes (as an edit box reports changes).
    void setText(std::string_view text);

  private:
    std::string text_;
};

} // namespace qv::common
