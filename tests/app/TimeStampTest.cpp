#include "app/cli/LocalTimeStamp.h"

#include <gtest/gtest.h>

#include <limits>

namespace qv::app::cli {
namespace {

/// A zone that is offset seconds east of UTC; the calendar from the C library's UTC conversion.
LocalTimeStamp::Local at(std::int64_t second, int offset) {
    const auto t = static_cast<std::time_t>(second + offset);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, offset};
}

constexpr std::int64_t kSpring = 1774746000; // 2026-03-29 01:00:00 UTC
constexpr std::int64_t kAutumn = 1792890000; // 2026-10-25 01:00:00 UTC

// Central European rules around both changes, to the millisecond; then the zone of the system
// changed under a running capture (the clock's offset from UTC moves between two readings).
TEST(LocalTimeStampTest, DaylightSavingAndZoneChangesShowFromTheirSecond) {
    std::int64_t now = 0;
    int zone = 0; ///< the system zone's offset for the last rows
    int asked = 0;
    LocalTimeStamp stamps([&] { return now; },
                          [&](std::int64_t s) {
                              ++asked;
                              if (s >= kAutumn + 86400)
                                  return at(s, zone);
                              const bool summer = s >= kSpring && s < kAutumn;
                              return at(s, summer ? 7200 : 3600);
                          });
    const std::tuple<std::int64_t, int, const char *> rows[] = {
        // ms, system zone, stamp
        {-1, 0, "1970-01-01T00:59:59.999+01:00"},
        {kSpring * 1000 - 1, 0, "2026-03-29T01:59:59.999+01:00"},
        {kSpring * 1000, 0, "2026-03-29T03:00:00.000+02:00"},
        {kAutumn * 1000 - 1, 0, "2026-10-25T02:59:59.999+02:00"},
        {kAutumn * 1000 + 7, 0, "2026-10-25T02:00:00.007+01:00"},
        {(kAutumn + 86400) * 1000 + 450, 3600, "2026-10-26T02:00:00.450+01:00"},
        {(kAutumn + 86401) * 1000 + 20, -12600, "2026-10-25T21:30:01.020-03:30"},
        {(kAutumn + 86401) * 1000 + 21, 19800, "2026-10-25T21:30:01.021-03:30"},
        {(kAutumn + 86402) * 1000, 19800, "2026-10-26T06:30:02.000+05:30"},
    };
    for (const auto &[ms, inZone, stamp] : rows) {
        std::tie(now, zone) = std::tuple(ms, inZone);
        EXPECT_EQ(stamps.now(), stamp) << ms;
    }
    // Once per second of the clock, not per reading: a change of zone within a second shows at
    // the next one (above), every stamp still naming the right moment.
    EXPECT_EQ(asked, 8);
    const auto far = LocalTimeStamp::systemZone(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(std::tie(far.year, far.day, far.hour), std::tuple(1970, 1, 0)) << "past its calendar";
}

} // namespace
} // namespace qv::app::cli
