#pragma once
#include "trend/Point.h"

#include <string>
#include <vector>

namespace qv::trend {

/// A labelled mark of the time axis.
struct TimeTick {
    double t = 0; ///< seconds since 1970 UTC
    std::string label;

    bool operator==(const TimeTick &) const = default;
};

/// The marks of the time axis for a shown range: on round clock times (every 0.1, 0.2, 0.5, 1,
/// 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min, 1, 2, 3, 6, 12 h, 1 and 2 days, 1, 2, 4, 8 and
/// 16 weeks from a Monday), the smallest step that puts at most `maxMarks` (8 at most) marks in
/// the range, which mostly puts half as many or more there. Labels are as short as the step allows:
/// "18:25:03.5" below a second, "18:25:03" below a minute, "18:25" within a day, "12-07 18:00"
/// across days, "12-07" for steps of days ("2026-12-07" across years). Clock times are local:
/// `utcOffset` seconds ahead of UTC.
[[nodiscard]] std::vector<TimeTick> timeTicks(Range time, double utcOffset, int maxMarks = 8);

} // namespace qv::trend
