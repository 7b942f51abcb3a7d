#include "link/ReceiveDispatch.h"

namespace qv::link {

ReceiveDispatch::ReceiveDispatch(common::Form &form, std::function<void()> comDmm,
                                 std::function<void()> comDso)
    : form_(form), comDmm_(std::move(comDmm)), comDso_(std::move(comDso)) {
    form_.os.port.setEventHandler([this](int code) { MSComm1_OnComm(code); });
}

ReceiveDispatch::~ReceiveDispatch() {
    form_.os.port.setEventHandler(nullptr);
}

void ReceiveDispatch::MSComm1_OnComm(int code) {
    if (code != platform::SerialPort::kReceiveEvent)
        return;
    if (form_.el.DMMmode.checked()) {
        common::Procedures::run(comDmm_);
        return;
    }
    common::Procedures::run(comDso_);
}

} // namespace qv::link
