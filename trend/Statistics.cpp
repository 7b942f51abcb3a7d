#include "trend/Statistics.h"

#include <algorithm>
#include <cmath>

namespace qv::trend {

void Accumulator::add(const Point &p) {
    if (p.isGap())
        return;
    if (s_.count++ == 0) {
        shift_ = p.v;
        s_.min = s_.max = p.v;
        s_.minTime = s_.maxTime = p.t;
        s_.minDecimals = s_.maxDecimals = p.decimals;
    } else if (p.v < s_.min) {
        s_.min = p.v;
        s_.minTime = p.t;
        s_.minDecimals = p.decimals;
    } else if (p.v > s_.max) {
        s_.max = p.v;
        s_.maxTime = p.t;
        s_.maxDecimals = p.decimals;
    }
    const double d = p.v - shift_;
    sum_ += d;
    sumSquares_ += d * d;
    s_.last = p.v;
    s_.lastTime = p.t;
    s_.lastDecimals = p.decimals;
    s_.decimals = std::max(s_.decimals, p.decimals);
}

void Accumulator::merge(const Accumulator &later) {
    const Statistics &b = later.s_;
    if (b.count == 0)
        return;
    Statistics &a = s_;
    if (a.count == 0) {
        *this = later;
        return;
    }
    // Ties keep the earlier time: the first time the extreme was reached.
    if (b.min < a.min) {
        a.min = b.min;
        a.minTime = b.minTime;
        a.minDecimals = b.minDecimals;
    }
    if (b.max > a.max) {
        a.max = b.max;
        a.maxTime = b.maxTime;
        a.maxDecimals = b.maxDecimals;
    }
    // The later sums, taken from this accumulator's first reading.
    const double d = later.shift_ - shift_;
    const double nb = static_cast<double>(b.count);
    sumSquares_ += later.sumSquares_ + 2 * d * later.sum_ + nb * d * d;
    sum_ += later.sum_ + nb * d;
    a.count += b.count;
    a.last = b.last;
    a.lastTime = b.lastTime;
    a.lastDecimals = b.lastDecimals;
    a.decimals = std::max(a.decimals, b.decimals);
}

Statistics Accumulator::result() const {
    Statistics s = s_;
    if (s.count == 0)
        return s;
    const double n = static_cast<double>(s.count);
    s.mean = shift_ + sum_ / n;
    s.stddev =
        s.count > 1 ? std::sqrt(std::max(0.0, (sumSquares_ - sum_ * sum_ / n) / (n - 1))) : 0.0;
    return s;
}

Statistics statistics(std::span<const Point> points) {
    Accumulator acc;
    for (const Point &p : points)
        acc.add(p);
    return acc.result();
}

} // namespace qv::trend
