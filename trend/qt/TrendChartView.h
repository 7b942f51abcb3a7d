#pragma once
#include <QChartView>

#include <functional>

namespace qv::trend::qt {

/// The chart with the trend's mouse: the wheel zooms the time axis around the pointer, a drag
/// with the left button pans it, a double click resets it, the pointer at rest asks for its tool
/// tip. Positions are reported as fractions of the plot area's width (0 its left edge, 1 its
/// right edge).
class TrendChartView : public QChartView {
    Q_OBJECT
  public:
    explicit TrendChartView(QChart *chart, QWidget *parent = nullptr);

    std::function<void(double factor, double at)> onZoom; ///< factor below 1 zooms in
    std::function<void(double by)> onPan;                 ///< positive: towards later times
    std::function<void()> onReset;
    std::function<void(double at, QPoint global)> onHover; ///< the tool tip's place

  protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;

  private:
    [[nodiscard]] double fraction(double x) const;

    bool dragging_ = false;
    double lastX_ = 0;
};

} // namespace qv::trend::qt
