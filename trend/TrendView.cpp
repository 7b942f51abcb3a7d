#include "trend/TrendView.h"

#include <algorithm>

namespace qv::trend {
namespace {

Range atLeast(Range r, double span) {
    if (r.span() >= span)
        return r;
    const double mid = (r.lo + r.hi) / 2;
    return {mid - span / 2, mid + span / 2};
}

} // namespace

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
    const double left = (at - now.lo) / now.span();
    Range next{at - left * span, at - left * span + span};
    if (follow_) // the right edge stays on the newest reading
        next = {data.hi - span, data.hi};
    window_ = atLeast(next, kMinSpan);
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
