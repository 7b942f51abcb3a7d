#pragma once
#include "common/Form.h"

#include <cstdint>
#include <span>

namespace qv::link {

/// Assembles one 20-byte packet from a receive batch into PacketPending/PacketData: the bytes
/// before the first sync byte (0xFF) complete the pending packet, which becomes PacketData; the
/// sync byte and what follows, up to index 19 of the batch, start the next one. Returns false
/// when the batch ends before a byte the assembly needs: the decoder then stops for this event
/// (the buffers keep what was written before).
[[nodiscard]] bool assemblePacket(common::SharedValues &v, std::span<const std::uint8_t> batch);

/// Reads the bytes of this receive event from the port and assembles them; false as above.
[[nodiscard]] bool receivePacket(common::Form &form);

} // namespace qv::link
