#pragma once
#include <functional>

namespace qv::platform {

/// A repeating timer of the event loop (the reconnect watch): no callback while stopped.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void start(int intervalMs, std::function<void()> tick) = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool active() const = 0;
};

} // namespace qv::platform
