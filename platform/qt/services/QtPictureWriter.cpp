#include "platform/qt/services/QtPictureWriter.h"

#include "platform/FileOutput.h"
#include "platform/PngFile.h"
#include "platform/qt/services/DisplayListPainter.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace qv::platform::qt {
namespace {

constexpr double kTwipsPerPixel = 15; ///< 96 dpi
constexpr double kTwipsPerPoint = 20;

QSize pixelSize(double widthTwips, double heightTwips, int scale) {
    return {static_cast<int>(std::lround(widthTwips / kTwipsPerPixel * scale)),
            static_cast<int>(std::lround(heightTwips / kTwipsPerPixel * scale))};
}

// QSvgGenerator gives the picture's size in millimetres, which viewers turn into pixels at their
// own resolutions (Qt at 90 dpi, browsers at 96); pixels say what is meant. The first line of its
// header is `<svg width="..mm" height="..mm"`.
void sizeInPixels(QByteArray &svg, QSize size) {
    const QByteArray start = "<svg width=\"";
    const qsizetype from = svg.indexOf(start);
    const qsizetype to = svg.indexOf('\n', from);
    if (from < 0 || to < 0)
        return;
    svg.replace(from, to - from,
                start + QByteArray::number(size.width()) + "px\" height=\"" +
                    QByteArray::number(size.height()) + "px\"");
}

// Drawn in twips, the display list's own unit, inside a view box of the screen's twips: the
// trace keeps its steps of 20 twips instead of being rounded to the 15-twip pixels of the
// 96-dpi view, and zooms in without stair steps. The picture's size stays the 96-dpi one.
QByteArray svg(const common::DrawingTarget &surface, double widthTwips, double heightTwips) {
    QByteArray out;
    QBuffer buffer(&out);
    const QSize size = pixelSize(widthTwips, heightTwips, 1);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRectF(0, 0, widthTwips, heightTwips));
    generator.setResolution(96);
    generator.setTitle(QStringLiteral("qvlink"));
    QPainter painter;
    if (!painter.begin(&generator))
        return {};
    PaintScale scale;
    scale.pixelsPerTwip = 1;
    scale.allowXor = false;
    paintDisplayList(painter, withoutXor(surface.ops()), 0, scale,
                     QRectF(0, 0, widthTwips, heightTwips));
    painter.end();
    sizeInPixels(out, size);
    return out;
}

QByteArray pdf(const common::DrawingTarget &surface, double widthTwips, double heightTwips) {
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QSizeF(widthTwips / kTwipsPerPoint, heightTwips / kTwipsPerPoint),
                                 QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(1440); // one device pixel per twip
    writer.setTitle(QStringLiteral("qvlink"));
    QPainter painter;
    if (!painter.begin(&writer))
        return {};
    PaintScale scale;
    scale.pixelsPerTwip = 1;
    scale.allowXor = false;
    paintDisplayList(painter, withoutXor(surface.ops()), 0, scale,
                     QRectF(0, 0, widthTwips, heightTwips));
    painter.end();
    return out;
}

} // namespace

QImage QtPictureWriter::png(const common::DrawingTarget &surface, double widthTwips,
                            double heightTwips, int scale) {
    scale = std::clamp(scale, 1, kMaxScale);
    const QSize size = pixelSize(widthTwips, heightTwips, scale);
    QImage image(size, QImage::Format_RGB32);
    const common::Rgb bg = surface.background();
    image.fill(QColor(bg.r, bg.g, bg.b));
    PaintScale paint;
    paint.pixelsPerTwip = scale / kTwipsPerPixel;
    QPainter painter(&image);
    paintDisplayList(painter, surface.ops(), 0, paint, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QByteArray QtPictureWriter::bytes(PictureFormat format, const common::DrawingTarget &surface,
                                  double widthTwips, double heightTwips, int scale) {
    switch (format) {
    case PictureFormat::Png: {
        const QImage image = png(surface, widthTwips, heightTwips, scale);
        const auto stride = static_cast<std::size_t>(image.bytesPerLine()) / 4; // RGB32
        const std::string file =
            pngFile(image.width(), image.height(),
                    {reinterpret_cast<const std::uint32_t *>(image.constBits()),
                     stride * static_cast<std::size_t>(image.height())},
                    stride, image.dotsPerMeterX());
        return QByteArray(file.data(), static_cast<qsizetype>(file.size()));
    }
    case PictureFormat::Svg:
        return svg(surface, widthTwips, heightTwips);
    case PictureFormat::Pdf:
        return pdf(surface, widthTwips, heightTwips);
    }
    return {};
}

PictureWriter::Result QtPictureWriter::write(const std::string &path, PictureFormat format,
                                             const common::DrawingTarget &surface,
                                             double widthTwips, double heightTwips, int scale) {
    const QByteArray data = bytes(format, surface, widthTwips, heightTwips, scale);
    if (data.isEmpty())
        return {false, "the picture could not be drawn"};
    const auto written = FileOutput::replace(
        path, std::string_view(data.constData(), static_cast<size_t>(data.size())), syncToDisk_);
    return {written.ok, written.reason};
}

} // namespace qv::platform::qt
