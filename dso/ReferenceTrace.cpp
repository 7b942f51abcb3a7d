#include "dso/ReferenceTrace.h"

#include "common/NumberFormat.h"
#include "dso/WaveScreen.h"

namespace qv::dso {
namespace {

constexpr double kStep = 20;   ///< twips per sample horizontally
constexpr double kMargin = 60; ///< gap between the frame and the trace's ends
constexpr double kLabelInset = 40;

double ratio(const std::optional<double> &reference, const std::optional<double> &live) {
    if (!reference || !live || !(*reference > 0) || !(*live > 0))
        return 1;
    return *reference / *live;
}

std::string scaleText(double value, const std::string &unit) {
    if (!(value > 0) || unit.empty())
        return "??";
    return common::shortestNumber(value) + unit + "/div";
}

} // namespace

void drawReference(common::DrawingTarget &target, const common::ScreenGeometry &geo,
                   const WaveInput &reference, const WaveInput &live, const std::string &label) {
    const double xScale = ratio(reference.secondsPerPoint, live.secondsPerPoint) * kStep;
    const double yScale = ratio(reference.voltsPerUnit, live.voltsPerUnit);
    const double left = geo.ScreenLeft + kMargin, right = geo.ScreenRight - kMargin;
    const auto y = [&](std::size_t i) {
        return traceY(geo, reference.points[i] * yScale, live.verticalPosition);
    };
    const common::Rgb fore = target.foreColor();
    const common::DrawMode mode = target.drawMode();
    target.setDrawMode(common::DrawMode::Copy); // the screen's cursors leave it in XOR
    if (!reference.points.empty()) {
        target.setCurrentX(left);
        target.setCurrentY(y(0));
        for (std::size_t i = 1; i < reference.points.size(); ++i) {
            const double x = left + xScale * static_cast<double>(i);
            if (x > right) { // the last stretch ends at the trace's right end
                const double x0 = target.currentX(), y0 = target.currentY();
                if (x0 < right)
                    target.lineTo(right, y0 + (y(i) - y0) * (right - x0) / (x - x0),
                                  kReferenceColor);
                break;
            }
            target.lineTo(x, y(i), kReferenceColor);
        }
    }
    target.setForeColor(kReferenceColor);
    target.setCurrentY(geo.ScreenTop + kLabelInset);
    target.setCurrentX(geo.ScreenLeft + kLabelInset);
    target.print(label);
    target.setForeColor(fore);
    target.setDrawMode(mode);
}

std::string referenceLabel(const common::Waveform &wave, double modelCode,
                           const ScaleTables &tables) {
    const double gain = wave.DsoParam[2], time = wave.DsoParam[0];
    return "REF " + scaleText(tables.GainTable(gain, modelCode), tables.GainUnit(gain, modelCode)) +
           " " + scaleText(tables.TimeBaseTable(time, modelCode), tables.TimeBaseUnit(time));
}

} // namespace qv::dso
