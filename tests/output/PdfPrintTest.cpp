#include "PrintFixture.h"
#include "platform/qt/services/QtClipboard.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "platform/qt/services/QtPrinter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qv::output {
namespace {

// The real printer to a PDF: a page per copy, one file. The SVG keeps the twips (points 20 apart,
// not on 15-twip pixels) at 369 x 337; the PNG holds the drawn pixels exactly, at 96 dpi.
TEST(PdfPrint, EveryCopyGoesIntoThePdfTheSvgKeepsTheTwipsThePngThePixels) {
    using platform::qt::QtPictureWriter;
    testing::PrintFixture f;
    f.show(false);
    platform::qt::QtPrinter printer;
    QTemporaryDir dir;
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(dir.filePath("wave.pdf"));
    for (int copy = 0; copy < 3; ++copy) {
        common::DrawingTarget *page = printer.beginDocument();
        ASSERT_NE(page, nullptr);
        f.printing.Printout0(*page);
        ASSERT_TRUE(printer.endDocument());
    }
    ASSERT_TRUE(printer.endJob());
    QFile file(dir.filePath("wave.pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page>>") + pdf.count("/Type /Page "),
              3);

    const QByteArray svg =
        QtPictureWriter::bytes(platform::PictureFormat::Svg, f.form.el.Picture1, 5530, 5055, 1);
    const QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 5530, 5055));
    EXPECT_EQ(renderer.defaultSize(), QSize(369, 337));
    // Points 0 and 1 of the sine (0 and 3 units) from the trace's left end (150 + 60 twips)
    EXPECT_TRUE(svg.contains("points=\"210,2500 230,2380 \"")) << svg.toStdString();
    EXPECT_TRUE(svg.contains(">Model: QM1538</text>"));
    const QImage read = QImage::fromData(
        QtPictureWriter::bytes(platform::PictureFormat::Png, f.form.el.Picture1, 5530, 5055, 2));
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32),
              QtPictureWriter::png(f.form.el.Picture1, 5530, 5055, 2));
    EXPECT_EQ(read.dotsPerMeterX(), 3780);
}

// Copy puts the screen as it is (XOR cursor included) on the clipboard: 369 x 337 at 96 dpi.
TEST(Copy, TheClipboardHoldsTheScreenAt96Dpi) {
    platform::qt::QtClipboard clipboard;
    testing::PrintFixture f(&clipboard);
    f.show(true, 1);
    f.form.v.CursorMode = 1;
    f.click(1, 950, 2000);
    f.printing.mnuCopy_Click();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(369, 337));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              platform::qt::QtClipboard::render(f.form.el.Picture1, 5530, 5055));
}

} // namespace
} // namespace qv::output
