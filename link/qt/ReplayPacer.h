#pragma once
#include "link/ReplayPort.h"

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace qv::link::qt {

/// Plays a ReplayPort on the event loop while its lines are up: at the recorded pace times a
/// speed (1, 10), or with speed 0 as fast as the program takes the bytes (a few kilobytes per
/// turn of the event loop, so the window stays alive). The pace starts at the next record
/// whenever the link comes up, so silence before the link does not count.
class ReplayPacer {
  public:
    static constexpr int kMax = 0;

    ReplayPacer(ReplayPort &port, int speed);
    ~ReplayPacer();
    ReplayPacer(const ReplayPacer &) = delete;
    ReplayPacer &operator=(const ReplayPacer &) = delete;

    /// Told once when the last record was played.
    void setFinishedHandler(std::function<void()> handler) { finished_ = std::move(handler); }

  private:
    void streamingChanged(bool on);
    void schedule();
    void tick();

    ReplayPort &port_;
    int speed_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::uint64_t origin_ = 0; ///< the recording's time when the clock started
    std::function<void()> finished_;
};

} // namespace qv::link::qt
