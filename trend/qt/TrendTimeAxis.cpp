#include "trend/qt/TrendTimeAxis.h"

#include <QCategoryAxis>
#include <QDateTime>
#include <QFontMetrics>

#include <cmath>

namespace qv::trend::qt {

TrendTimeAxis::TrendTimeAxis() : axis_(new QCategoryAxis) {
    axis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
}

void TrendTimeAxis::show(Range time, double plotWidth) {
    const auto offset =
        QDateTime::fromMSecsSinceEpoch(std::llround(time.lo * 1000)).offsetFromUtc();
    // Room for a label of tenths of a second and a blank of a character on either side.
    const int label =
        QFontMetrics(axis_->labelsFont()).horizontalAdvance(QStringLiteral("00:00:00.0  "));
    std::vector<TimeTick> ticks = timeTicks(time, offset, static_cast<int>(plotWidth / label));
    if (ticks != ticks_) {
        for (const QString &label : axis_->categoriesLabels())
            axis_->remove(label);
        // The first category starts a span before the range, so its start line stays out of
        // sight until the marks change.
        axis_->setStartValue((time.lo - time.span()) * 1000);
        for (const TimeTick &tick : ticks)
            axis_->append(QString::fromStdString(tick.label), tick.t * 1000);
        ticks_ = std::move(ticks);
    }
    axis_->setRange(time.lo * 1000, time.hi * 1000);
}

} // namespace qv::trend::qt
