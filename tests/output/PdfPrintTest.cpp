#include "PrintFixture.h"
#include "platform/qt/services/QtClipboard.h"
#include "platform/qt/services/QtPrinter.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace qv::output {
namespace {

int pageCount(const QByteArray &pdf) {
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page>>") +
                            pdf.count("/Type /Page "));
}

// A waveform page with both time cursors through the real printer, as "Print to file" does: one
// page per copy, all in the one file. Set QV_KEEP_PDF to a path to keep the file for a look.
TEST(PdfPrint, EveryCopyOfAWaveformPageGoesIntoThePdf) {
    int argc = 1;
    char name[] = "tests_output_pdf", *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    testing::PrintFixture f;
    f.show(false);
    f.form.v.CursorMode = 1;
    f.click(1, 1000, 2500);
    f.click(2, 1400, 2500);
    for (const int copies : {1, 3}) {
        platform::qt::QtPrinter printer;
        QTemporaryDir dir;
        const char *keep = std::getenv("QV_KEEP_PDF");
        const QString path = keep ? QString::fromLocal8Bit(keep) : dir.filePath("wave.pdf");
        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        printer.printer().setOutputFileName(path);
        for (int copy = 0; copy < copies; ++copy) {
            common::DrawingTarget *page = printer.beginDocument();
            ASSERT_NE(page, nullptr);
            f.printing.Printout0(*page);
            ASSERT_TRUE(printer.endDocument());
        }
        ASSERT_TRUE(printer.endJob());

        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        EXPECT_GT(content.size(), 1000);
        EXPECT_TRUE(content.startsWith("%PDF-") && content.trimmed().endsWith("%%EOF"));
        EXPECT_EQ(pageCount(content), copies);
    }
}

// The Copy command through the system clipboard: the scope screen as a 96-dpi bitmap of 369 x 337
// pixels (the pixels themselves are compared with the window's in the export tests).
TEST(Copy, TheClipboardHoldsTheScreenAt96Dpi) {
    int argc = 1;
    char name[] = "tests_output_pdf", *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    platform::qt::QtClipboard clipboard;
    testing::PrintFixture f(&clipboard);
    f.show(false);
    f.printing.mnuCopy_Click();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              platform::qt::QtClipboard::render(f.form.el.Picture1, 5530, 5055));
}

} // namespace
} // namespace qv::output
