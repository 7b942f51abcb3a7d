#include "trend/TrendView.h"

#include <algorithm>

namespace qv::trend {

Range TrendView::time(Range data) const {
    if (!window_) {
        if (data.span() < kMinSpan)
            return {data.hi - kEmptySpan / 2, data.hi + kEmptySpan / 2};
        return data;
    }
    if (!follow_)
        return *window_;
    const double width = window_->span();
    return {data.hi - width, data.hi};
}

void TrendView::zoom(double factor, double at, Range data) {
    const Range now = time(data);
    factor = std::clamp(factor, 0.01, 100.0);
    const double span = std::clamp(now.span() * factor, kMinSpan, kMaxSpan);
    // Following, the right edge stays on the newest reading; else the time at stays in place.
    const double lo = follow_ ? data.hi - span : at - (at - now.lo) / now.span() * span;
    window_ = Range{lo, lo + span};
}

void TrendView::pan(double dt, Range data) {
    const Range now = time(data);
    window_ = Range{now.lo + dt, now.hi + dt};
    follow_ = false;
}

void TrendView::reset() {
    window_.reset();
    follow_ = true;
}

} // namespace qv::trend
