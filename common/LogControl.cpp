#include "common/LogControl.h"

namespace qv::common {

void LogControl::setEnabled(bool on) {
    enabled_ = on;
    if (view_.enabledChanged)
        view_.enabledChanged(on);
}

void LogControl::setText(std::string text) {
    const bool same = text == text_;
    text_ = std::move(text);
    if (view_.replaced)
        view_.replaced(text_);
    if (same)
        return;
    changed();
    if (onReplace_)
        onReplace_(text_);
}

void LogControl::append(std::string_view more) {
    if (more.empty())
        return;
    text_ += more;
    if (view_.appended)
        view_.appended(more);
    changed();
    if (onAppend_)
        onAppend_(more);
}

void LogControl::moveCaretToEnd() {
    if (view_.caretToEnd)
        view_.caretToEnd();
}

void LogControl::editedByUser(std::string text) {
    if (text == text_)
        return;
    text_ = std::move(text);
    changed();
    if (onReplace_)
        onReplace_(text_);
}

} // namespace qv::common
