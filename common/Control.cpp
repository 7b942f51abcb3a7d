#include "common/Control.h"

namespace qv::common {

void Control::setEnabled(bool on) {
    if (enabled_ == on)
        return;
    enabled_ = on;
    notify();
}

void Control::setChecked(bool on) {
    if (checked_ == on)
        return;
    checked_ = on;
    notify();
}

void TextControl::setText(std::string_view text) {
    if (text_ == text)
        return;
    text_ = std::string(text);
    notify();
}

} // namespace qv::common
