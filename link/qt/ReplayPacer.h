#pragma once
#include "link/ReplayPort.h"

#include <QTimer>

#include <functional>

namespace qv::link::qt {

/// Plays a ReplayPort on the event loop while its lines are up: at the recorded pace times a
/// speed (1, 10), or with speed 0 as fast as the program takes the bytes (a few kilobytes per
/// turn of the event loop, so the window stays alive). Whenever the link comes up, the next
/// record plays at the next turn of the event loop and the pace counts from then, so neither
/// silence before the link nor the time the program takes to set the link up counts.
class ReplayPacer {
  public:
    static constexpr int kMax = 0;

    /// nowMs: a steady clock in milliseconds (a test's own); by default the system's.
    ReplayPacer(ReplayPort &port, int speed, std::function<long long()> nowMs = {});
    ~ReplayPacer();
    ReplayPacer(const ReplayPacer &) = delete;
    ReplayPacer &operator=(const ReplayPacer &) = delete;

    /// Told once when the last record was played (at once if it already was).
    void setFinishedHandler(std::function<void()> handler);

  private:
    void streamingChanged(bool on);
    void schedule();
    void tick();
    void reportFinished();

    ReplayPort &port_;
    int speed_;
    std::function<long long()> now_;
    QTimer timer_;
    bool paced_ = false; ///< the pace clock runs: the first record since the link came up played
    long long startedMs_ = 0;  ///< now_() when it played
    std::uint64_t origin_ = 0; ///< the recording's time of that record
    bool done_ = false;
    std::function<void()> finished_;
};

} // namespace qv::link::qt
