#pragma once
#include "trend/TimeTicks.h"

#include <vector>

class QCategoryAxis;

namespace qv::trend::qt {

/// The chart's time axis (milliseconds since 1970 UTC) with its marks and grid lines on round
/// local clock times (trend::timeTicks), labelled as briefly as the shown span allows.
class TrendTimeAxis {
  public:
    TrendTimeAxis();
    /// The axis, for the chart to own once added.
    [[nodiscard]] QCategoryAxis *axis() const { return axis_; }
    /// Shows this range over a plot this many pixels wide, with as many marks as their labels
    /// leave room for (at most 8); the marks change only when the range moves past one.
    void show(Range time, double plotWidth);
    [[nodiscard]] const std::vector<TimeTick> &ticks() const { return ticks_; }

  private:
    QCategoryAxis *axis_;
    std::vector<TimeTick> ticks_;
};

} // namespace qv::trend::qt
