#pragma once
#include "platform/Timer.h"

#include <QTimer>

namespace qv::platform::qt {

/// A repeating QTimer of the event loop.
class QtTimer final : public Timer {
  public:
    QtTimer();
    void start(int intervalMs, std::function<void()> tick) override;
    void stop() override { timer_.stop(); }
    bool active() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
    std::function<void()> tick_;
};

} // namespace qv::platform::qt
