#include "dso/WaveEdges.h"

namespace qv::dso {

double crossingAt(std::span<const double> points, std::size_t i, double level) {
    const double a = points[i], b = points[i + 1];
    const double t = (level - a) / (b - a);
    // Points too far apart for their difference (+-1e308 side by side) meet it halfway.
    return static_cast<double>(i) + (t >= 0 && t <= 1 ? t : 0.5);
}

std::vector<Edge> findEdges(std::span<const double> points, double mid, double halfBand) {
    std::vector<Edge> edges;
    if (!(halfBand > 0) || points.empty())
        return edges;
    const double low = mid - halfBand, high = mid + halfBand;
    enum class Side { Unknown, Low, High };
    const auto sideOf = [&](double x, Side was) {
        return x <= low ? Side::Low : x >= high ? Side::High : was;
    };
    Side side = sideOf(points[0], Side::Unknown);
    double lastUp = 0, lastDown = 0; // the latest crossings of mid in each direction
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double a = points[i - 1], b = points[i];
        if (a < mid && b >= mid)
            lastUp = crossingAt(points, i - 1, mid);
        else if (a >= mid && b < mid)
            lastDown = crossingAt(points, i - 1, mid);
        const Side now = sideOf(b, side);
        if (side == Side::Low && now == Side::High)
            edges.push_back({lastUp, true});
        else if (side == Side::High && now == Side::Low)
            edges.push_back({lastDown, false});
        side = now;
    }
    return edges;
}

} // namespace qv::dso
