#include "common/Control.h"

namespace qv::common {

void Control::setEnabled(bool on) {
    if (enabled_ == on)
        return;
    enabled_ = on;
    notify();
}

void Control::setChecked(bool on) {
    if (checked_ != on) {
        checked_ = on;
        notify();
    }
    if (on && partner_)
        partner_->setChecked(false);
}

void Control::pair(Control &a, Control &b) {
    a.partner_ = &b;
    b.partner_ = &a;
}

void TextControl::setText(std::string_view text) {
    if (text_ == text)
        return;
    text_ = std::string(text);
    notify();
}

} // namespace qv::common
