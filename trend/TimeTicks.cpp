#include "trend/TimeTicks.h"

#include "common/Formatted.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

namespace qv::trend {
namespace {

constexpr double kMinute = 60, kHour = 3600, kDay = 86400, kWeek = 7 * kDay;
constexpr auto kSteps = std::to_array<double>(
    {0.1,          0.2,          0.5,          1,        2,           5,
     10,           15,           30,           kMinute,  2 * kMinute, 5 * kMinute,
     10 * kMinute, 15 * kMinute, 30 * kMinute, kHour,    2 * kHour,   3 * kHour,
     6 * kHour,    12 * kHour,   kDay,         2 * kDay, kWeek,       2 * kWeek,
     4 * kWeek,    8 * kWeek,    16 * kWeek});
/// Weeks start on a Monday: 1970-01-05, four days after the clock's start.
constexpr double kMonday = 4 * kDay;

/// The first and last multiple of a step in [lo, hi] as step counts from the anchor, in local
/// seconds; steps below a second are counted in tenths so that they stay exact.
struct Marks {
    long long first = 0, last = -1;
};

Marks marksOf(double lo, double hi, double step, double anchor) {
    const double tenths = std::round(step * 10);
    return {static_cast<long long>(std::ceil(std::round((lo - anchor) * 10) / tenths)),
            static_cast<long long>(std::floor(std::round((hi - anchor) * 10) / tenths))};
}

struct Civil {
    int year;
    unsigned month, day;
    long long secondOfDay;
};

Civil civilOf(long long localSeconds) {
    const long long days = localSeconds / 86400 - (localSeconds % 86400 < 0 ? 1 : 0);
    const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{days}}};
    return {static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
            static_cast<unsigned>(ymd.day()), localSeconds - days * 86400};
}

std::string labelOf(long long tenths, double step, bool acrossDays, bool acrossYears) {
    const long long seconds = tenths / 10 - (tenths % 10 < 0 ? 1 : 0);
    const Civil c = civilOf(seconds);
    const long long h = c.secondOfDay / 3600, m = c.secondOfDay / 60 % 60, s = c.secondOfDay % 60;
    if (step < 1)
        return common::formatted("%02lld:%02lld:%02lld.%lld", h, m, s, tenths - seconds * 10);
    if (step < kMinute)
        return common::formatted("%02lld:%02lld:%02lld", h, m, s);
    if (step < kDay && !acrossDays)
        return common::formatted("%02lld:%02lld", h, m);
    if (step < kDay)
        return common::formatted("%02u-%02u %02lld:%02lld", c.month, c.day, h, m);
    if (!acrossYears)
        return common::formatted("%02u-%02u", c.month, c.day);
    return common::formatted("%04d-%02u-%02u", c.year, c.month, c.day);
}

} // namespace

std::vector<TimeTick> timeTicks(Range time, double utcOffset, int maxMarks) {
    maxMarks = std::clamp(maxMarks, 2, 8);
    const double lo = time.lo + utcOffset, hi = time.hi + utcOffset;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return {};
    // The smallest step that puts at most maxMarks in the range (the next smaller put more, so
    // this one puts at least half as many but where the steps grow by more than twice).
    double chosen = kSteps.back();
    for (const double step : kSteps) {
        const Marks m = marksOf(lo, hi, step, step >= kWeek ? kMonday : 0);
        if (m.last - m.first + 1 <= maxMarks) {
            chosen = step;
            break;
        }
    }
    const double anchor = chosen >= kWeek ? kMonday : 0;
    const Marks m = marksOf(lo, hi, chosen, anchor);
    const long long stepTenths = std::llround(chosen * 10);
    const auto dayOf = [](double local) { return std::floor(local / kDay); };
    const bool acrossDays = dayOf(lo) != dayOf(hi);
    const bool acrossYears = civilOf(static_cast<long long>(std::floor(lo))).year !=
                             civilOf(static_cast<long long>(std::floor(hi))).year;
    std::vector<TimeTick> ticks;
    for (long long k = m.first; k <= m.last; ++k) {
        const long long tenths = std::llround(anchor * 10) + k * stepTenths;
        ticks.push_back({static_cast<double>(tenths) / 10 - utcOffset,
                         labelOf(tenths, chosen, acrossDays, acrossYears)});
    }
    return ticks;
}

} // namespace qv::trend
