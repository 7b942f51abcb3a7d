#include "app/qt/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace qv::app::qt {
namespace {

using Draw = std::function<void(QPainter &)>;

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlueInk(20, 90, 200);
const QColor kGreenInk(20, 140, 60);
const QColor kRedInk(200, 30, 30);

QPen pen(const QColor &c, double w = 1.0) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p, double x, double y) {
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + 7, y);
    path.lineTo(x + 10, y + 3);
    path.lineTo(x + 10, y + 13);
    path.lineTo(x, y + 13);
    path.closeSubpath();
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void newIcon(QPainter &p) {
    page(p, 2.5, 1.5);
    p.setPen(pen(QColor(230, 170, 0), 1.5));
    p.drawLine(QPointF(12, 9), QPointF(15, 9));
    p.drawLine(QPointF(13.5, 7.5), QPointF(13.5, 10.5));
}

void openIcon(QPainter &p) {
    p.setPen(pen(QColor(150, 110, 20)));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(1.5, 4.5, 12, 9));
    p.setBrush(QColor(250, 220, 120));
    QPolygonF flap{{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}};
    p.drawPolygon(flap);
}

void saveIcon(QPainter &p) {
    p.setPen(pen(QColor(30, 50, 120)));
    p.setBrush(QColor(60, 100, 200));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(200, 210, 230));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void printIcon(QPainter &p) {
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(160, 160, 170));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(pen(kGreenInk));
    p.drawPoint(QPointF(12.5, 8.5));
}

void copyIcon(QPainter &p) {
    page(p, 1.5, 0.5);
    page(p, 5.5, 2.5);
}

void linkIcon(QPainter &p) {
    // A serial plug: a trapezoid shell with pins and a cable.
    p.setPen(pen(kInk));
    p.setBrush(QColor(180, 190, 200));
    QPolygonF shell{{1.5, 4.5}, {11.5, 4.5}, {10.5, 11.5}, {2.5, 11.5}};
    p.drawPolygon(shell);
    p.setPen(pen(kInk, 1.2));
    for (double x : {4.0, 6.5, 9.0})
        p.drawPoint(QPointF(x, 7));
    for (double x : {5.2, 7.8})
        p.drawPoint(QPointF(x, 9.3));
    p.setPen(pen(kBlueInk, 1.5));
    p.drawLine(QPointF(11.5, 8), QPointF(15, 8));
}

void dmmIcon(QPainter &p) {
    p.setPen(pen(kInk));
    p.setBrush(QColor(250, 200, 40));
    p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 2, 2);
    p.setBrush(QColor(200, 230, 200));
    p.drawRect(QRectF(4.5, 2.5, 7, 4));
    p.setPen(pen(kInk, 1));
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(8, 11), 2.2, 2.2);
}

void dsoIcon(QPainter &p) {
    p.setPen(pen(kInk));
    p.setBrush(QColor(20, 40, 40));
    p.drawRect(QRectF(0.5, 2.5, 15, 11));
    QPainterPath wave;
    for (int i = 0; i <= 12; ++i) {
        const QPointF pt(2 + i, 8 - 3.5 * std::sin(i * 3.14159 / 6));
        if (i == 0)
            wave.moveTo(pt);
        else
            wave.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(QColor(80, 255, 120)));
    p.drawPath(wave);
}

void startIcon(QPainter &p) {
    p.setPen(pen(QColor(10, 100, 40)));
    p.setBrush(QColor(40, 180, 70));
    p.drawPolygon(QPolygonF{{4, 2}, {14, 8}, {4, 14}});
}

void recordIcon(QPainter &p) {
    page(p, 1.5, 1.5);
    p.setPen(pen(kInk, 0.8));
    for (double y : {5.0, 7.5, 10.0})
        p.drawLine(QPointF(3.5, y), QPointF(8.5, y));
    p.setPen(pen(QColor(140, 0, 0)));
    p.setBrush(kRedInk);
    p.drawEllipse(QPointF(11.5, 11.5), 3.2, 3.2);
}

void waveIcon(QPainter &p) {
    QPainterPath wave;
    for (int i = 0; i <= 14; ++i) {
        const QPointF pt(1 + i, 8 - 5 * std::sin(i * 3.14159 / 7));
        if (i == 0)
            wave.moveTo(pt);
        else
            wave.lineTo(pt);
    }
    p.setPen(pen(QColor(180, 180, 180), 0.8));
    p.drawLine(QPointF(1, 8), QPointF(15, 8));
    p.setPen(pen(kBlueInk, 1.6));
    p.drawPath(wave);
}

void fftIcon(QPainter &p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kRedInk);
    const double heights[] = {11, 6, 9, 3, 5, 2};
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(1.5 + i * 2.3, 15 - heights[i], 1.6, heights[i]));
    p.setPen(pen(kInk, 0.8));
    p.drawLine(QPointF(0.5, 15.2), QPointF(15.5, 15.2));
}

// Two cursor lines in a frame with the distance between them; `vertical` picks the X cursors'
// upright lines, otherwise the picture is turned over onto the Y cursors' level lines.
void cursorIcon(QPainter &p, bool vertical, const QColor &ink) {
    const auto at = [vertical](double along, double across) {
        return vertical ? QPointF(across, along) : QPointF(along, across);
    };
    p.setPen(pen(QColor(180, 180, 180), 0.8));
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
    p.setPen(pen(ink, 1.4));
    p.drawLine(at(1, 5), at(15, 5));
    p.drawLine(at(1, 11), at(15, 11));
    p.setPen(pen(kInk, 0.9));
    p.drawLine(at(8, 5.5), at(8, 10.5));
}

void xCursorIcon(QPainter &p) {
    cursorIcon(p, true, kRedInk);
}
void yCursorIcon(QPainter &p) {
    cursorIcon(p, false, kBlueInk);
}

Draw drawerFor(std::string_view key) {
    struct Entry {
        std::string_view key;
        void (*draw)(QPainter &);
    };
    static const Entry entries[] = {
        {"New", newIcon},          {"Open", openIcon},       {"Save", saveIcon},
        {"Print", printIcon},      {"Copy", copyIcon},       {"Link", linkIcon},
        {"DMMmode", dmmIcon},      {"DSOmode", dsoIcon},     {"StartStop", startIcon},
        {"DMMRecord", recordIcon}, {"DSO_wave", waveIcon},   {"DSO_FFT", fftIcon},
        {"XCursor", xCursorIcon},  {"YCursor", yCursorIcon},
    };
    for (const Entry &e : entries)
        if (e.key == key)
            return e.draw;
    return {};
}

} // namespace

QIcon toolbarIcon(std::string_view key) {
    const Draw draw = drawerFor(key);
    if (!draw)
        return {};
    QIcon icon;
    for (int scale : {1, 2, 3}) {
        QPixmap pixmap(16 * scale, 16 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace qv::app::qt
