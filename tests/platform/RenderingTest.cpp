#include "common/DrawingTarget.h"
#include "platform/qt/services/DisplayListPainter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace qv::platform::qt {
namespace {

QImage render(const common::DrawingTarget &t, double pixelsPerTwip, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintDisplayList(painter, t.ops(), 0, PaintScale{.pixelsPerTwip = pixelsPerTwip},
                     QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

// Red pixel columns counted, and their lines as hundreds of twips (one per line however wide).
std::pair<int, std::vector<long>> redLines(const QImage &image, double pixelsPerTwip) {
    std::pair<int, std::vector<long>> out;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) == qRgb(255, 0, 0)) {
                ++out.first;
                const long at = std::lround(x / pixelsPerTwip / 100.0);
                if (out.second.empty() || out.second.back() != at)
                    out.second.push_back(at);
                break;
            }
    return out;
}

TEST(Rendering, XorTwiceRestoresEveryPixel) {
    common::DrawingTarget t;
    t.setForeColor(common::kBlue);
    for (int i = 0; i < 50; ++i)
        t.line(150 + i * 100, 500, 300 + i * 90, 4500 - i * 70); // a busy picture underneath
    t.print({"t: ", 5.0, "us/div"});
    const QImage before = render(t, 1.0 / 15, {369, 337});
    t.setDrawMode(common::DrawMode::Xor);
    for (int pass = 0; pass < 2; ++pass) { // the cursors drawn, then erased
        for (const double x : {1000.4, 2710.0, 5270.0}) {
            t.line(x, 500, x, 4500, common::kCyan);
            t.line(150, x * 0.8, 5270, x * 0.8, common::kYellow);
        }
        EXPECT_EQ(render(t, 1.0 / 15, {369, 337}) == before, pass == 1);
    }
}

TEST(Rendering, TwoScalesDrawTheSameGeometry) {
    common::DrawingTarget t;
    t.setForeColor(common::kRed);
    for (int x = 400; x <= 5200; x += 400)
        t.line(x, 500, x, 4500);
    const auto [smallColumns, smallLines] = redLines(render(t, 1.0 / 15, {369, 337}), 1.0 / 15);
    const auto [largeColumns, largeLines] = redLines(render(t, 2.5 / 15, {922, 843}), 2.5 / 15);
    EXPECT_EQ(smallColumns, 13) << "one pixel wide at 96 dpi";
    EXPECT_EQ(smallLines, largeLines) << "the same lines, in twips, at both scales";
    EXPECT_GE(largeColumns, 2 * 13) << "pen widths scale: more than a pixel at 2.5 times the size";
}

} // namespace
} // namespace qv::platform::qt
