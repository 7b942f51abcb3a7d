#pragma once
#include "link/SimulatorSettings.h"

#include <random>
#include <string>

namespace qv::link {

/// Multimeter packets as the meter sends them: live readings of a slowly varying voltage, and
/// the play-back of its memory (text messages, then numbered stored readings).
class DmmPacketSource {
  public:
    DmmPacketSource(int model, std::uint32_t seed);

    /// The next live reading (work mode 0).
    [[nodiscard]] Packet live();
    /// The next packet of a repeating play-back: "Data start", a message, the stored readings
    /// 0..N-1, "Data end", then a few live readings before the next play-back.
    [[nodiscard]] Packet playback();

    /// The 16 display characters of a reading: 6 value characters, 10 unit characters.
    [[nodiscard]] static std::string readingText(double value);
    /// Number of stored readings in a play-back.
    static constexpr int kStoredReadings = 16;
    /// Live readings between two play-backs.
    static constexpr int kLiveBetween = 24;

  private:
    [[nodiscard]] double nextValue();
    [[nodiscard]] Packet packet(const std::string &text, int mode, int number) const;

    int model_;
    std::mt19937 rng_;
    long long tick_ = 0;
    int step_ = 0; ///< position in the play-back cycle
};

} // namespace qv::link
