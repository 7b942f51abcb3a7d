#include "trend/qt/TrendChartView.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace qv::trend::qt {

TrendChartView::TrendChartView(QChart *chart, QWidget *parent) : QChartView(chart, parent) {
    // Without antialiasing: every unbroken stretch of readings is a line of its own, and an
    // antialiased line costs a pass over every row of its height, so a day with many gaps would
    // repaint several times slower.
    setRenderHint(QPainter::Antialiasing, false);
    setRubberBand(QChartView::NoRubberBand);
}

double TrendChartView::fraction(double x) const {
    const QRectF area = chart()->plotArea();
    if (area.width() <= 0)
        return 0.5;
    return (x - area.left()) / area.width();
}

void TrendChartView::wheelEvent(QWheelEvent *event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0 && onZoom)
        onZoom(std::pow(0.8, steps), fraction(event->position().x()));
    event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return QChartView::mousePressEvent(event);
    dragging_ = true;
    lastX_ = event->position().x();
    event->accept();
}

void TrendChartView::mouseMoveEvent(QMouseEvent *event) {
    if (!dragging_)
        return QChartView::mouseMoveEvent(event);
    const double x = event->position().x();
    if (onPan && x != lastX_)
        onPan(fraction(lastX_) - fraction(x));
    lastX_ = x;
    event->accept();
}

void TrendChartView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
    QChartView::mouseReleaseEvent(event);
}

void TrendChartView::mouseDoubleClickEvent(QMouseEvent *event) {
    dragging_ = false;
    if (onReset)
        onReset();
    event->accept();
}

bool TrendChartView::viewportEvent(QEvent *event) {
    if (event->type() != QEvent::ToolTip || !onHover)
        return QChartView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    onHover(fraction(help->pos().x()), help->globalPos());
    return true;
}

} // namespace qv::trend::qt
