#include "platform/qt/services/QtClipboard.h"

#include "platform/qt/services/DisplayListPainter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>

namespace qv::platform::qt {

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setImage(const common::DrawingTarget &surface, double widthTwips,
                           double heightTwips) {
    QGuiApplication::clipboard()->setImage(render(surface, widthTwips, heightTwips));
}

QImage QtClipboard::render(const common::DrawingTarget &surface, double widthTwips,
                           double heightTwips) {
    const PaintScale scale;
    const QSize size(static_cast<int>(std::lround(widthTwips * scale.pixelsPerTwip)),
                     static_cast<int>(std::lround(heightTwips * scale.pixelsPerTwip)));
    QImage image(size, QImage::Format_RGB32);
    const common::Rgb bg = surface.background();
    image.fill(QColor(bg.r, bg.g, bg.b));
    QPainter painter(&image);
    paintDisplayList(painter, surface.ops(), 0, scale, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace qv::platform::qt
