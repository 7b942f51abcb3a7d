#include "link/ReceiveDispatch.h"

#include "link/PacketAssembly.h"

#include <algorithm>

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
    if (resync_) {
        // The first bytes after a cut end a packet whose head was lost: assemble them only to
        // start the next packet from its sync byte, and decode nothing.
        const std::vector<std::uint8_t> batch = form_.os.port.read();
        const auto sync = std::find(batch.begin(), batch.end(), std::uint8_t{0xFF});
        if (assemblePacket(form_.v, batch) && sync - batch.begin() <= 19)
            resync_ = false;
        return;
    }
    if (form_.el.DMMmode.checked()) {
        common::Procedures::run(comDmm_);
        return;
    }
    common::Procedures::run(comDso_);
}

} // namespace qv::link
