#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace qv::app::cli {

/// The capture's time stamps: local date and time to the millisecond with the offset from UTC,
/// "2026-12-07T10:15:03.123+01:00". A stamp reads the clock once; the local date, time and
/// offset are worked out once per second of the clock, so the time zone (TZ, or /etc/localtime
/// when TZ is unset) is looked at once a second, not per reading. A daylight-saving change
/// (always on a whole second) shows from its first millisecond; a change of the system's zone
/// from the next second, every stamp before it still naming the right moment.
class LocalTimeStamp {
  public:
    /// A second of the clock in local time, and its offset from UTC.
    struct Local {
        int year, month, day, hour, minute, second;
        int offsetSeconds;
    };
    /// Milliseconds since 1970-01-01 UTC.
    using Clock = std::function<std::int64_t()>;
    /// The local time of a second since 1970-01-01 UTC.
    using Zone = std::function<Local(std::int64_t second)>;

    /// The system's clock and time zone.
    LocalTimeStamp();
    LocalTimeStamp(Clock clock, Zone zone);

    /// The stamp of now.
    [[nodiscard]] const std::string &now();
    /// The stamp of a moment (milliseconds since 1970-01-01 UTC).
    [[nodiscard]] const std::string &at(std::int64_t ms);

    /// The system's clock.
    [[nodiscard]] static std::int64_t systemMs();
    /// The system's zone at that second (the C library's, with the zone read again).
    [[nodiscard]] static Local systemZone(std::int64_t second);

  private:
    Clock clock_;
    Zone zone_;
    std::int64_t second_ = INT64_MIN; ///< the second text_ holds
    int ms_ = 0;                      ///< the millisecond text_ holds
    std::size_t msAt_ = 0;            ///< where the milliseconds stand in text_
    std::string text_;
};

} // namespace qv::app::cli
