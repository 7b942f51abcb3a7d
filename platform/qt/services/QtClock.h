#pragma once
#include "platform/Clock.h"

namespace qv::platform::qt {

/// Date and time in the system locale's formats; the sleep blocks the calling thread.
class QtClock final : public Clock {
  public:
    std::string shortDate() const override;
    std::string shortTime() const override;
    std::string longTime() const override;
    double now() const override;
    void sleepMs(int ms) override;
};

} // namespace qv::platform::qt
