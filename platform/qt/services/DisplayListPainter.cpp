#include "platform/qt/services/DisplayListPainter.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <variant>

namespace qv::platform::qt {
namespace {

QColor color(common::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

Qt::PenStyle penStyle(common::PenStyle s) {
    switch (s) {
    case common::PenStyle::Solid:
        return Qt::SolidLine;
    case common::PenStyle::Dash:
        return Qt::DashLine;
    case common::PenStyle::Dot:
        return Qt::DotLine;
    case common::PenStyle::DashDot:
        return Qt::DashDotLine;
    case common::PenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case common::PenStyle::Invisible:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

// A coordinate in whole device pixels; huge values stay far off-device instead of overflowing.
int pixel(double twips, double origin, double scale) {
    const double v = std::round((twips - origin) * scale);
    return static_cast<int>(std::clamp(v, -1.0e6, 1.0e6));
}

class OpPainter {
  public:
    OpPainter(QPainter &p, const PaintScale &s, const QRectF &area) : p_(p), s_(s), area_(area) {}

    void operator()(const common::ClearOp &op) {
        p_.setCompositionMode(QPainter::CompositionMode_Source);
        p_.fillRect(area_, color(op.background));
    }

    void operator()(const common::LineOp &op) {
        setMode(op.mode);
        p_.setPen(pen(op.color, op.width, op.style));
        p_.drawLine(point(op.x1, op.y1), point(op.x2, op.y2));
    }

    void operator()(const common::BoxOp &op) {
        setMode(op.mode);
        const QRect r = QRect(point(op.x1, op.y1), point(op.x2, op.y2)).normalized();
        if (op.filled) {
            p_.fillRect(r, color(op.fill));
            return;
        }
        p_.setPen(pen(op.color, op.width, op.style));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(r);
    }

    void operator()(const common::TextOp &op) {
        p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        QFont font(QString::fromStdString(op.font));
        font.setStyleHint(QFont::SansSerif);
        const double px = op.sizePt * 20.0 * s_.pixelsPerTwip;
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
        p_.setFont(font);
        p_.setPen(color(op.color));
        const QPointF at((op.x - s_.originX) * s_.pixelsPerTwip,
                         (op.y - s_.originY) * s_.pixelsPerTwip);
        p_.drawText(QRectF(at, QSizeF(1.0e5, 1.0e5)),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                    QString::fromStdString(op.text));
    }

  private:
    QPoint point(double x, double y) const {
        return {pixel(x, s_.originX, s_.pixelsPerTwip), pixel(y, s_.originY, s_.pixelsPerTwip)};
    }

    QPen pen(common::Rgb c, int width, common::PenStyle style) const {
        // Widths scale with the view, so a surface looks the same at every size.
        const int w = std::max(
            1, static_cast<int>(std::lround(width * s_.twipsPerPenUnit * s_.pixelsPerTwip)));
        QPen pen(color(c), w, penStyle(style), Qt::FlatCap, Qt::MiterJoin);
        return pen;
    }

    void setMode(common::DrawMode mode) {
        const bool xorMode = mode == common::DrawMode::Xor && s_.allowXor;
        p_.setCompositionMode(xorMode ? QPainter::RasterOp_SourceXorDestination
                                      : QPainter::CompositionMode_SourceOver);
    }

    QPainter &p_;
    const PaintScale &s_;
    QRectF area_;
};

} // namespace

void paintDisplayList(QPainter &painter, const common::DisplayList &ops, std::size_t from,
                      const PaintScale &scale, const QRectF &area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    OpPainter visitor(painter, scale, area);
    for (std::size_t i = from; i < ops.size(); ++i)
        std::visit(visitor, ops[i]);
    painter.restore();
}

} // namespace qv::platform::qt
