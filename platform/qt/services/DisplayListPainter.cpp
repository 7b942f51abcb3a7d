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

bool sameShape(const common::DrawOp &a, const common::DrawOp &b) {
    if (const auto *la = std::get_if<common::LineOp>(&a)) {
        const auto *lb = std::get_if<common::LineOp>(&b);
        return lb && la->x1 == lb->x1 && la->y1 == lb->y1 && la->x2 == lb->x2 && la->y2 == lb->y2 &&
               la->color == lb->color && la->width == lb->width && la->style == lb->style;
    }
    const auto *ba = std::get_if<common::BoxOp>(&a);
    const auto *bb = std::get_if<common::BoxOp>(&b);
    return ba && bb && ba->x1 == bb->x1 && ba->y1 == bb->y1 && ba->x2 == bb->x2 &&
           ba->y2 == bb->y2 && ba->color == bb->color && ba->filled == bb->filled &&
           ba->fill == bb->fill && ba->width == bb->width && ba->style == bb->style;
}

bool isXor(const common::DrawOp &op) {
    if (const auto *l = std::get_if<common::LineOp>(&op))
        return l->mode == common::DrawMode::Xor;
    if (const auto *b = std::get_if<common::BoxOp>(&op))
        return b->mode == common::DrawMode::Xor;
    return false;
}

common::Rgb xorOf(common::Rgb a, common::Rgb b) {
    return {static_cast<std::uint8_t>(a.r ^ b.r), static_cast<std::uint8_t>(a.g ^ b.g),
            static_cast<std::uint8_t>(a.b ^ b.b)};
}

} // namespace

common::DisplayList withoutXor(const common::DisplayList &ops) {
    std::vector<bool> keep(ops.size(), true);
    std::vector<std::size_t> standing; // XOR ops not cancelled yet
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (std::holds_alternative<common::ClearOp>(ops[i]))
            standing.clear();
        if (!isXor(ops[i]))
            continue;
        const auto twin = std::find_if(standing.begin(), standing.end(),
                                       [&](std::size_t j) { return sameShape(ops[j], ops[i]); });
        if (twin == standing.end()) {
            standing.push_back(i);
            continue;
        }
        keep[*twin] = keep[i] = false;
        standing.erase(twin);
    }
    common::DisplayList out;
    common::Rgb background = common::kWhite;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (!keep[i])
            continue;
        common::DrawOp op = ops[i];
        if (const auto *clear = std::get_if<common::ClearOp>(&op))
            background = clear->background;
        if (auto *l = std::get_if<common::LineOp>(&op); l && l->mode == common::DrawMode::Xor)
            l->color = xorOf(l->color, background), l->mode = common::DrawMode::Copy;
        if (auto *b = std::get_if<common::BoxOp>(&op); b && b->mode == common::DrawMode::Xor) {
            b->color = xorOf(b->color, background), b->fill = xorOf(b->fill, background);
            b->mode = common::DrawMode::Copy;
        }
        out.push_back(std::move(op));
    }
    return out;
}

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
