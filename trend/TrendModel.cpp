#include "trend/TrendModel.h"

#include "dmm/ReadingText.h"
#include "trend/TrendText.h"

#include <algorithm>

namespace qv::trend {

void TrendModel::add(double t, std::string_view reading) {
    add(t, dmm::parseReading(reading), decimalsOf(dmm::valueField(reading)));
}

void TrendModel::add(double t, const dmm::ReadingValue &reading, int decimals) {
    if (points_ > 0)
        t = std::max(t, lastTime_);
    if (!reading.value) {
        // A gap only means something after a reading; one gap stands for a run of them.
        if (series_.empty() || series_.back().points.back().isGap())
            return;
        series_.back().points.push_back({t, kGap});
        ++gaps_;
    } else {
        const std::string unit = singleBlanks(reading.unit);
        if (series_.empty() || series_.back().unit != unit)
            series_.push_back({unit, {}, {}});
        const Point p{t, *reading.value, decimals};
        series_.back().points.push_back(p);
        series_.back().whole.add(p);
    }
    ++points_;
    lastTime_ = t;
    notify();
}

void TrendModel::clear() {
    series_.clear();
    points_ = gaps_ = 0;
    notify();
}

std::vector<std::string> TrendModel::units() const {
    std::vector<std::string> out;
    for (const Series &s : series_)
        if (std::find(out.begin(), out.end(), s.unit) == out.end())
            out.push_back(s.unit);
    return out;
}

std::string TrendModel::newestUnit() const {
    return series_.empty() ? std::string() : series_.back().unit;
}

Range TrendModel::timeSpan() const {
    if (series_.empty())
        return {};
    return {series_.front().points.front().t, series_.back().points.back().t};
}

Statistics TrendModel::wholeRun(std::string_view unit) const {
    Accumulator acc;
    for (const Series &s : series_)
        if (s.unit == unit)
            acc.merge(s.whole);
    return acc.result();
}

Statistics TrendModel::within(std::string_view unit, Range time) const {
    Accumulator acc;
    for (const Series &s : series_) {
        if (s.unit != unit)
            continue;
        const std::span<const Point> inside = pointsIn(s.points, time);
        if (inside.size() == s.points.size()) { // the whole series: its statistics are kept
            acc.merge(s.whole);
            continue;
        }
        for (const Point &p : inside)
            acc.add(p);
    }
    return acc.result();
}

void TrendModel::notify() const {
    if (changed)
        changed();
}

std::span<const Point> pointsIn(std::span<const Point> points, Range time) {
    const auto first = std::lower_bound(points.begin(), points.end(), time.lo,
                                        [](const Point &p, double t) { return p.t < t; });
    const auto last = std::upper_bound(first, points.end(), time.hi,
                                       [](double t, const Point &p) { return t < p.t; });
    return {first, last};
}

} // namespace qv::trend
