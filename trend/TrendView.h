#pragma once
#include "trend/Point.h"

#include <optional>

namespace qv::trend {

/// Which time range the chart shows. At first, and after a reset, it shows the whole run and
/// grows with it. Zooming or panning picks a window of time; in follow mode a window keeps its
/// width and slides so that the newest reading stays at its right edge. Panning ends follow
/// mode, as the user then looks at the past.
class TrendView {
  public:
    /// The shown time range for data spanning `data`. Never shorter than kMinSpan.
    [[nodiscard]] Range time(Range data) const;
    /// Zooms the time axis by a factor (below 1 zooms in) keeping time `at` in place.
    void zoom(double factor, double at, Range data);
    /// Moves the shown range by dt seconds (positive: later).
    void pan(double dt, Range data);
    /// The whole run again, following it.
    void reset();
    void setFollow(bool on) { follow_ = on; }
    [[nodiscard]] bool follow() const { return follow_; }
    /// True while the whole run is shown.
    [[nodiscard]] bool showsAll() const { return !window_; }

    static constexpr double kMinSpan = 1.0;    ///< seconds
    static constexpr double kEmptySpan = 60.0; ///< shown around a single reading
    static constexpr double kMaxSpan = 3.2e7;  ///< about a year

  private:
    std::optional<Range> window_;
    bool follow_ = true;
};

} // namespace qv::trend
