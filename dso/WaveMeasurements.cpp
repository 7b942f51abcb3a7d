#include "dso/WaveMeasurements.h"

#include "dso/WaveEdges.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qv::dso {
namespace {

constexpr double kHysteresis = 0.10;                ///< of the amplitude, centred on the mid level
constexpr double kLowLevel = 0.1, kHighLevel = 0.9; ///< rise and fall time levels
constexpr std::size_t kMaxBins = 4096;              ///< histogram bins of one half, at most
constexpr std::size_t kModeReach = 2;               ///< bins each side of a flat level's mode
constexpr double kFlatShare = 0.2;                  ///< of a half's points that make a flat level
constexpr double kModeOverExtreme = 2.5; ///< a flat level's points over the outermost bin's

/// The trace's levels in sample units and whether it runs into the screen's edges.
struct Levels {
    double max = -INFINITY, min = INFINITY, top = 0, base = 0;
    bool topClipped = false, bottomClipped = false;
};

/// The level of one half of the histogram (the top when fromTop): bins one sample unit wide,
/// counted inward from the extreme. When the fullest bin holds at least 2.5 times the outermost
/// one's points and it and its two neighbours on each side hold a fifth of the half's points (a
/// flat level, with overshoot, ringing or noise beyond it), the mean of those five bins; otherwise
/// the mean of the outermost bin, so that a sine, a triangle or a clean square reads its extreme.
double modeLevel(std::span<const double> points, double extreme, double mid, bool fromTop) {
    const double reach = std::abs(extreme - mid);
    const std::size_t bins = reach < kMaxBins ? static_cast<std::size_t>(reach) + 1 : kMaxBins;
    std::vector<double> count(bins), sum(bins);
    for (const double x : points) {
        const double depth = fromTop ? extreme - x : x - extreme;
        if (!(depth >= 0 && depth <= reach))
            continue;
        const auto bin = static_cast<std::size_t>(std::min(std::floor(depth), double(bins - 1)));
        ++count[bin];
        sum[bin] += x;
    }
    const auto mode =
        static_cast<std::size_t>(std::max_element(count.begin(), count.end()) - count.begin());
    const std::size_t from = std::max(mode, kModeReach) - kModeReach;
    const std::size_t to = std::min(mode + kModeReach + 1, bins);
    double n = 0, s = 0, all = 0;
    for (std::size_t b = 0; b < bins; ++b) {
        all += count[b];
        if (b >= from && b < to)
            n += count[b], s += sum[b];
    }
    if (count[mode] < kModeOverExtreme * count[0] || n < kFlatShare * all)
        return sum[0] / count[0];
    return s / n;
}

Levels levelsOf(std::span<const double> points, double verticalPosition) {
    Levels l;
    for (const double x : points) {
        l.max = std::max(l.max, x);
        l.min = std::min(l.min, x);
        // A point that is no finite number lies beyond both edges.
        l.topClipped = l.topClipped || !(x + verticalPosition < kScreenHalfUnits);
        l.bottomClipped = l.bottomClipped || !(x + verticalPosition > -kScreenHalfUnits);
    }
    l.top = l.max;
    l.base = l.min;
    if (!std::isfinite(l.max - l.min) || l.max == l.min)
        return l;
    const double mid = (l.max + l.min) / 2;
    l.top = modeLevel(points, l.max, mid, true);
    l.base = modeLevel(points, l.min, mid, false);
    return l;
}

/// The mean period in points over every whole period between edges of one direction, both
/// directions together; none without two edges of one direction.
std::optional<double> periodOf(const std::vector<Edge> &edges) {
    double span = 0, periods = 0;
    for (const bool rising : {true, false}) {
        std::optional<double> first, last;
        for (const Edge &e : edges)
            if (e.rising == rising) {
                first = first.value_or(e.at);
                last = e.at;
                periods += 1;
            }
        if (first) {
            span += *last - *first;
            periods -= 1;
        }
    }
    if (periods < 1)
        return std::nullopt;
    return span / periods;
}

/// The mean width in points from an edge of one direction to the next edge.
std::optional<double> widthOf(const std::vector<Edge> &edges, bool positive) {
    double sum = 0, n = 0;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i)
        if (edges[i].rising == positive) {
            sum += edges[i + 1].at - edges[i].at;
            n += 1;
        }
    if (n == 0)
        return std::nullopt;
    return sum / n;
}

/// The RMS of the points over the longest stretch of whole periods between edges of one direction.
std::optional<double> cycleRmsOf(std::span<const double> p, const std::vector<Edge> &edges) {
    double from = 0, to = 0;
    for (const bool rising : {true, false}) {
        const auto first = std::find_if(edges.begin(), edges.end(),
                                        [rising](const Edge &e) { return e.rising == rising; });
        const auto last = std::find_if(edges.rbegin(), edges.rend(),
                                       [rising](const Edge &e) { return e.rising == rising; });
        if (first != edges.end() && last->at - first->at > to - from)
            from = first->at, to = last->at;
    }
    if (!(to > from))
        return std::nullopt;
    // As many points as the stretch is long, from the first point in it: edges lie between
    // points, so ceil(from) + round(to - from) < to + 1.5 stays within the trace.
    const auto first = static_cast<std::size_t>(std::ceil(from));
    const auto count = std::max<std::size_t>(1, static_cast<std::size_t>(std::round(to - from)));
    double squares = 0;
    for (std::size_t i = first; i < first + count; ++i)
        squares += p[i] * p[i];
    return std::sqrt(squares / static_cast<double>(count));
}

/// The time in points from the start level to the end level around the edge at `at`: the last
/// crossing of the start level since the previous edge, the first of the end level before the
/// next one (the trace's ends where there is none).
std::optional<double> transitionOf(std::span<const double> p, double previous, double at,
                                   double next, bool rising, double start, double end) {
    const double s = rising ? 1.0 : -1.0; // a sign: the comparisons below either way
    const long lower = static_cast<long>(std::ceil(previous)), upper = static_cast<long>(next);
    long j = static_cast<long>(at);
    while (j >= lower && !(s * p[static_cast<std::size_t>(j)] <= s * start))
        --j;
    long i = static_cast<long>(at) + 1;
    while (i <= upper && !(s * p[static_cast<std::size_t>(i)] >= s * end))
        ++i;
    if (j < lower || i > upper)
        return std::nullopt;
    return crossingAt(p, static_cast<std::size_t>(i - 1), end) -
           crossingAt(p, static_cast<std::size_t>(j), start);
}

/// The mean transition time over the edges of one direction that complete inside the frame.
std::optional<double> transitionTime(std::span<const double> p, const std::vector<Edge> &edges,
                                     bool rising, double low, double high) {
    // Each edge between its neighbours: the first point, the edges in turn, the last point.
    std::vector<double> at{0};
    for (const Edge &e : edges)
        at.push_back(e.at);
    at.push_back(static_cast<double>(p.size()) - 1);
    double sum = 0, n = 0;
    for (std::size_t k = 0; k < edges.size(); ++k) {
        if (edges[k].rising != rising)
            continue;
        const auto t = transitionOf(p, at[k], at[k + 1], at[k + 2], rising, rising ? low : high,
                                    rising ? high : low);
        if (t)
            sum += *t, n += 1;
    }
    if (n == 0)
        return std::nullopt;
    return sum / n;
}

Measurement missing(Why why) {
    return {std::nullopt, 0, why};
}

/// A value of `amount` units of `unit` (none when the scale is unknown), resolved to `step` units;
/// the first reason that applies when there is none: what blocks it, the value's absence, the
/// scale. A value that is no finite number (points beyond any screen) reads as clipped.
Measurement valueOf(Why block, std::optional<double> amount, Why whenNone,
                    std::optional<double> unit, double step) {
    if (block != Why::Measured)
        return missing(block);
    if (!amount)
        return missing(whenNone);
    if (!unit)
        return missing(Why::UnknownScale);
    const double v = *amount * *unit, resolution = step * *unit;
    if (!std::isfinite(v) || !std::isfinite(resolution))
        return missing(Why::Clipped);
    return {v, resolution, Why::Measured};
}

} // namespace

WaveMeasurementSet measureWave(const WaveInput &in) {
    WaveMeasurementSet out;
    const std::span<const double> p = in.points;
    if (p.size() < 2) {
        out.fill(missing(Why::Flat));
        return out;
    }
    const Levels l = levelsOf(p, in.verticalPosition);
    const double amplitude = l.top - l.base;
    const double n = static_cast<double>(p.size());
    double sum = 0;
    for (const double x : p)
        sum += x;
    const auto edges = findEdges(p, (l.top + l.base) / 2, amplitude * kHysteresis / 2);
    const auto period = periodOf(edges);
    const auto positive = widthOf(edges, true), negative = widthOf(edges, false);
    const double low = l.base + kLowLevel * amplitude, high = l.base + kHighLevel * amplitude;

    const Why clip = l.topClipped || l.bottomClipped ? Why::Clipped : Why::Measured;
    const auto volts = [&](Why block, std::optional<double> units, Why whenNone) {
        return valueOf(block, units, whenNone, in.voltsPerUnit, 1);
    };
    const auto seconds = [&](Why block, std::optional<double> points, Why whenNone) {
        return valueOf(block, points, whenNone, in.secondsPerPoint, 1);
    };
    const auto ratio = [](std::optional<double> a, std::optional<double> b) {
        return a && b && *b > 0 ? std::optional(*a / *b) : std::nullopt;
    };
    // part / whole in percent, resolved to one part in whole (points of a period, units of height).
    const auto percent = [&](Why block, std::optional<double> part, std::optional<double> whole,
                             Why whenNone) {
        return valueOf(block, ratio(part, whole), whenNone, 100.0, ratio(1.0, whole).value_or(0));
    };
    using enum Quantity;
    const auto at = [&out](Quantity q) -> Measurement & {
        return out[static_cast<std::size_t>(q)];
    };
    at(Maximum) = volts(l.topClipped ? Why::Clipped : Why::Measured, l.max, Why::Flat);
    at(Minimum) = volts(l.bottomClipped ? Why::Clipped : Why::Measured, l.min, Why::Flat);
    at(Amplitude) = volts(clip, amplitude, Why::Flat);
    at(Mean) = volts(clip, sum / n, Why::Flat);
    at(CycleRms) = volts(clip, cycleRmsOf(p, edges), Why::FewCrossings);
    at(Period) = seconds(Why::Measured, period, Why::FewCrossings);
    at(Frequency) = at(Period);
    if (const auto t = at(Period).value) // one point more or less in a period
        at(Frequency) = {1 / *t, 1 / *t / *period, Why::Measured};
    at(PositiveWidth) = seconds(clip, positive, Why::FewCrossings);
    at(NegativeWidth) = seconds(clip, negative, Why::FewCrossings);
    at(DutyCycle) = percent(clip, positive, period, Why::FewCrossings);
    at(RiseTime) = seconds(clip, transitionTime(p, edges, true, low, high), Why::NoRisingEdge);
    at(FallTime) = seconds(clip, transitionTime(p, edges, false, low, high), Why::NoFallingEdge);
    at(Overshoot) = percent(clip, l.max - l.top, amplitude, Why::Flat);
    at(Undershoot) = percent(clip, l.base - l.min, amplitude, Why::Flat);
    return out;
}

} // namespace qv::dso
