#include "trend/Statistics.h"

#include <cmath>

namespace qv::trend {

void Accumulator::add(const Point &p) {
    if (p.isGap())
        return;
    Accumulator one;
    one.s_ = {1, p.v, p.t, p.v, p.t, p.v, 0, p.v, p.t};
    merge(one);
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
    }
    if (b.max > a.max) {
        a.max = b.max;
        a.maxTime = b.maxTime;
    }
    const double na = static_cast<double>(a.count), nb = static_cast<double>(b.count);
    const double n = na + nb;
    const double delta = b.mean - a.mean;
    a.mean += delta * nb / n;
    m2_ += later.m2_ + delta * delta * na * nb / n;
    a.count += b.count;
    a.stddev = std::sqrt(m2_ / (n - 1));
    a.last = b.last;
    a.lastTime = b.lastTime;
}

Statistics Accumulator::result() const {
    return s_;
}

Statistics statistics(std::span<const Point> points) {
    Accumulator acc;
    for (const Point &p : points)
        acc.add(p);
    return acc.result();
}

} // namespace qv::trend
