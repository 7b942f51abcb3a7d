#include "dmm/ModeQuestion.h"

#include <string>

namespace qv::dmm {

void countOtherMode(common::Form &form, const char *meterFunction, bool systemModal,
                    const std::function<void()> &follow) {
    constexpr int kAskAfter = 10;
    std::int16_t &count = form.v.ModeMismatchCount;
    if (count > kAskAfter)
        return;
    if (count < kAskAfter) {
        ++count;
        return;
    }
    count = kAskAfter + 1;
    const std::string function = meterFunction;
    platform::Message m;
    m.text = "仪表当前工作在" + function + "模式，要将程序切换到" + function + "模式吗?";
    m.title = "QVLK: 请注意工作模式";
    m.buttons = platform::Buttons::OkCancel;
    m.warning = true;
    m.defaultButton = platform::Answer::Cancel;
    m.systemModal = systemModal;
    if (form.os.messages.show(m) == platform::Answer::Ok && follow)
        follow();
}

} // namespace qv::dmm
