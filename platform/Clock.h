#pragma once
#include <string>

namespace qv::platform {

/// The current date and time as the system writes them, and a blocking wait.
class Clock {
  public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual std::string shortDate() const = 0;
    [[nodiscard]] virtual std::string shortTime() const = 0;
    [[nodiscard]] virtual std::string longTime() const = 0;
    /// Seconds since 1970-01-01 UTC, with fractions.
    [[nodiscard]] virtual double now() const = 0;
    virtual void sleepMs(int ms) = 0;
};

} // namespace qv::platform
