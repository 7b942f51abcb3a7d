#include "trend/Decimation.h"

#include <algorithm>
#include <cmath>

namespace qv::trend {
namespace {

/// The minimum and maximum of a run of readings inside one column, by position.
class Extremes {
  public:
    void add(const Point &p) {
        if (count_++ == 0) {
            min_ = max_ = p;
            return;
        }
        if (p.v < min_.v)
            min_ = p;
        if (p.v > max_.v)
            max_ = p;
    }
    void flushInto(std::vector<Point> &out) {
        if (count_ == 0)
            return;
        if (min_.t == max_.t && min_.v == max_.v) {
            out.push_back(min_);
        } else if (min_.t <= max_.t) {
            out.push_back(min_);
            out.push_back(max_);
        } else {
            out.push_back(max_);
            out.push_back(min_);
        }
        count_ = 0;
    }

  private:
    Point min_, max_;
    int count_ = 0;
};

} // namespace

std::vector<Point> decimate(std::span<const Point> points, Range time, int columns) {
    const auto first = std::lower_bound(points.begin(), points.end(), time.lo,
                                        [](const Point &p, double t) { return p.t < t; });
    const auto last = std::upper_bound(first, points.end(), time.hi,
                                       [](double t, const Point &p) { return t < p.t; });
    std::vector<Point> out;
    if (first != points.begin())
        out.push_back(*(first - 1));
    const auto inside = static_cast<std::size_t>(last - first);
    columns = std::max(columns, 1);
    if (inside <= 2 * static_cast<std::size_t>(columns) || time.span() <= 0) {
        out.insert(out.end(), first, last);
    } else {
        const double perColumn = static_cast<double>(columns) / time.span();
        Extremes run;
        long column = -1;
        bool gapInColumn = false;
        for (auto it = first; it != last; ++it) {
            const long c =
                std::min<long>(static_cast<long>((it->t - time.lo) * perColumn), columns - 1);
            if (c != column) {
                run.flushInto(out);
                column = c;
                gapInColumn = false;
            }
            if (!it->isGap()) {
                run.add(*it);
                continue;
            }
            // One gap per column: the readings around further gaps in it join the next run.
            if (gapInColumn)
                continue;
            run.flushInto(out);
            out.push_back(*it);
            gapInColumn = true;
        }
        run.flushInto(out);
    }
    if (last != points.end())
        out.push_back(*last);
    return out;
}

std::optional<Range> valueRange(std::span<const Point> points) {
    std::optional<Range> r;
    for (const Point &p : points) {
        if (p.isGap())
            continue;
        if (!r)
            r = Range{p.v, p.v};
        r->lo = std::min(r->lo, p.v);
        r->hi = std::max(r->hi, p.v);
    }
    if (!r)
        return r;
    double margin = r->span() * 0.05;
    if (margin == 0)
        margin = r->lo == 0 ? 1.0 : std::fabs(r->lo) * 0.01;
    return Range{r->lo - margin, r->hi + margin};
}

} // namespace qv::trend
