#pragma once
#include "link/DmmPacketSource.h"
#include "link/SimulatorSettings.h"

#include <cstddef>
#include <vector>

namespace qv::link {

/// A meter without hardware: the byte stream of one work mode, packet after packet, as it
/// comes down the cable. Plain data source; the pace is the caller's.
class MeterSimulator {
  public:
    explicit MeterSimulator(SimOptions options);

    /// The next whole packet (ignores the byte position of nextBytes).
    [[nodiscard]] Packet nextPacket();
    /// The next n bytes of the stream. The first call starts `startOffset` bytes into the first
    /// packet, as a program that connects in the middle of a packet sees it.
    [[nodiscard]] std::vector<std::uint8_t> nextBytes(std::size_t n);
    /// Drops the rest of the current packet and the next `bytes` bytes (the port was closed).
    void skip(std::size_t bytes);

    [[nodiscard]] const SimOptions &options() const { return options_; }
    /// Packets made so far.
    [[nodiscard]] long long packets() const { return made_; }

  private:
    [[nodiscard]] Packet makePacket();
    [[nodiscard]] DsoSignal frameSignal() const;

    SimOptions options_;
    DmmPacketSource dmm_;
    long long made_ = 0;
    long long frames_ = 0;
    int frameSlot_ = 0; ///< next packet of the current frame, 0..16
    std::array<Packet, 17> frame_{};
    Packet current_{};
    std::size_t pos_ = 20; ///< next byte of current_ in nextBytes; 20: take a new packet
    bool started_ = false;
};

} // namespace qv::link
