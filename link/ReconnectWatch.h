#pragma once
#include "platform/SerialDevices.h"
#include "platform/Timer.h"

#include <functional>
#include <optional>

namespace qv::link {

/// What the link was on: port 1..8, or a device named by path (port 0).
struct LinkTarget {
    int port = 0;
    platform::DeviceIdentity device;
    /// A --port device that was not there at start-up: once it connects it is remembered, as a
    /// --port device that opened at once is.
    bool atStart = false;
};

/// Whether anything can ever be taken for the target again: a port 1..8 or any device name but
/// a pseudo-terminal's, which goes to whichever program opens a terminal next.
[[nodiscard]] bool canComeBack(const LinkTarget &target);

/// Watches for a lost device to come back: one attempt a second on the event loop's timer,
/// nothing in between, until an attempt succeeds or the watch is stopped. A target that cannot
/// come back (canComeBack) is watched without attempts: the link stays lost until the user acts.
/// Without a timer it does nothing.
class ReconnectWatch {
  public:
    static constexpr int kIntervalMs = 1000;

    /// attempt: tries to reconnect to the target; true when the link is up again.
    explicit ReconnectWatch(std::function<bool(const LinkTarget &)> attempt)
        : attempt_(std::move(attempt)) {}
    ~ReconnectWatch() { stop(); }
    ReconnectWatch(const ReconnectWatch &) = delete;
    ReconnectWatch &operator=(const ReconnectWatch &) = delete;

    void setTimer(platform::Timer *timer) { timer_ = timer; }
    void start(LinkTarget lost);
    void stop();
    [[nodiscard]] bool watching() const { return lost_.has_value(); }
    /// One attempt (the timer's tick).
    void tick();

  private:
    std::function<bool(const LinkTarget &)> attempt_;
    platform::Timer *timer_ = nullptr;
    std::optional<LinkTarget> lost_;
};

} // namespace qv::link
