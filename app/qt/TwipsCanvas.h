#pragma once
#include "common/DrawingTarget.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace qv::app::qt {

/// A widget showing a drawing target whose coordinates are twips of a fixed logical size. It
/// scales uniformly to whatever size the window gives it, sharp at any DPI: the display list is
/// painted into a backing image at device resolution, new operations on top of it (so XOR
/// drawings erase exactly), the whole list again after a clear or a resize.
class TwipsCanvas : public QWidget {
    Q_OBJECT
  public:
    TwipsCanvas(common::DrawingTarget &target, double widthTwips, double heightTwips,
                QWidget *parent = nullptr);

    /// Mouse button down at a position in twips; buttons 1 left, 2 right, 4 middle.
    std::function<void(int button, int shift, double x, double y)> onMouseDown;
    /// Files dropped, as local paths in the order given.
    std::function<void(const std::vector<std::string> &paths)> onDrop;
    /// Whether clicks and drops are taken at the moment.
    std::function<bool()> acceptsMouse, acceptsDrops;

    /// Twips per widget pixel at the current size.
    [[nodiscard]] double pixelsPerTwip() const;
    /// The surface as it is now, at device resolution.
    [[nodiscard]] QImage image();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    [[nodiscard]] QSize sizeHint() const override;

  private:
    void bringUpToDate();

    common::DrawingTarget &target_;
    double widthTwips_, heightTwips_;
    QImage image_;
    std::uint64_t generation_ = ~0ULL;
    std::size_t painted_ = 0;
};

} // namespace qv::app::qt
