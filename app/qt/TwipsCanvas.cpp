#include "app/qt/TwipsCanvas.h"

#include "platform/qt/services/DisplayListPainter.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace qv::app::qt {
namespace {

// The bytes of a dropped file's path, decoded from the URL's encoded form: a name that is not
// UTF-8 ("caf%E9.dso") keeps its bytes, which the decoded text would have replaced.
std::string localPath(const QUrl &url) {
    if (!url.isLocalFile() || !url.host().isEmpty())
        return url.toLocalFile().toStdString();
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

} // namespace

TwipsCanvas::TwipsCanvas(common::DrawingTarget &target, double widthTwips, double heightTwips,
                         QWidget *parent)
    : QWidget(parent), target_(target), widthTwips_(widthTwips), heightTwips_(heightTwips) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    target_.setOnChange([this] { update(); });
}

QSize TwipsCanvas::sizeHint() const {
    return {static_cast<int>(std::lround(widthTwips_ / 15.0)),
            static_cast<int>(std::lround(heightTwips_ / 15.0))};
}

double TwipsCanvas::pixelsPerTwip() const {
    return std::min(width() / widthTwips_, height() / heightTwips_);
}

void TwipsCanvas::bringUpToDate() {
    const qreal dpr = devicePixelRatioF();
    const QSize deviceSize(static_cast<int>(std::ceil(width() * dpr)),
                           static_cast<int>(std::ceil(height() * dpr)));
    const bool fresh = image_.size() != deviceSize || generation_ != target_.generation() ||
                       painted_ > target_.ops().size();
    if (fresh) {
        image_ = QImage(deviceSize, QImage::Format_RGB32);
        painted_ = 0;
        generation_ = target_.generation();
    }
    if (!fresh && painted_ == target_.ops().size())
        return;
    const common::Rgb bg = target_.background();
    if (fresh)
        image_.fill(QColor(bg.r, bg.g, bg.b));
    QPainter painter(&image_);
    platform::qt::PaintScale scale;
    scale.pixelsPerTwip = pixelsPerTwip() * dpr;
    scale.originX = target_.originLeft();
    scale.originY = target_.originTop();
    platform::qt::paintDisplayList(painter, target_.ops(), painted_, scale,
                                   QRectF(QPointF(0, 0), QSizeF(deviceSize)));
    painted_ = target_.ops().size();
}

QImage TwipsCanvas::image() {
    bringUpToDate();
    return image_;
}

void TwipsCanvas::paintEvent(QPaintEvent *) {
    bringUpToDate();
    QImage shown = image_;
    shown.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), shown);
}

void TwipsCanvas::mousePressEvent(QMouseEvent *event) {
    if (!onMouseDown || (acceptsMouse && !acceptsMouse()))
        return;
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = 1;
        break;
    case Qt::RightButton:
        button = 2;
        break;
    case Qt::MiddleButton:
        button = 4;
        break;
    default:
        return;
    }
    const Qt::KeyboardModifiers m = event->modifiers();
    const int shift = (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                      (m & Qt::AltModifier ? 4 : 0);
    const double scale = pixelsPerTwip();
    const QPointF p = event->position();
    onMouseDown(button, shift, p.x() / scale, p.y() / scale);
}

void TwipsCanvas::dragEnterEvent(QDragEnterEvent *event) {
    if (onDrop && event->mimeData()->hasUrls() && (!acceptsDrops || acceptsDrops()))
        event->acceptProposedAction();
}

void TwipsCanvas::dropEvent(QDropEvent *event) {
    if (!onDrop || (acceptsDrops && !acceptsDrops()))
        return;
    std::vector<std::string> paths;
    for (const QUrl &url : event->mimeData()->urls())
        paths.push_back(localPath(url));
    event->acceptProposedAction();
    onDrop(paths);
}

} // namespace qv::app::qt
