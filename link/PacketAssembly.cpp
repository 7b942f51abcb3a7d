#include "link/PacketAssembly.h"

#include <algorithm>

namespace qv::link {

bool assemblePacket(common::SharedValues &v, std::span<const std::uint8_t> b) {
    const auto sync = std::find(b.begin(), b.end(), std::uint8_t{0xFF});
    const size_t i = static_cast<size_t>(sync - b.begin());
    // Completing the pending packet: the whole batch (i = 0) or the tail before the sync byte.
    if (i == 0) {
        for (size_t k = 0; k < 20; ++k) {
            if (k >= b.size())
                return false;
            v.PacketPending[k] = b[k];
        }
    } else if (i <= 19) {
        for (size_t k = 0; k < i; ++k)
            v.PacketPending[20 - i + k] = b[k];
    }
    v.PacketData = v.PacketPending;
    // Starting the next packet from the sync byte on.
    if (i <= 19) {
        for (size_t k = 0; k <= 19 - i; ++k) {
            if (i + k >= b.size())
                return false;
            v.PacketPending[k] = b[i + k];
        }
    }
    return true;
}

bool receivePacket(common::Form &form) {
    const std::vector<std::uint8_t> batch = form.os.port.read();
    return assemblePacket(form.v, batch);
}

} // namespace qv::link
