#include "PrintFixture.h"
#include "platform/qt/services/QtPrinter.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace qv::output {
namespace {

// A waveform page with both time cursors through the real printer, as "Print to file" does.
// Set QV_KEEP_PDF to a path to keep the file for a look.
TEST(PdfPrint, WaveformPageBecomesAOnePagePdf) {
    int argc = 1;
    char name[] = "tests_output_pdf", *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    testing::PrintFixture f;
    f.show(false);
    f.form.v.CursorMode = 1;
    f.click(1, 1000, 2500);
    f.click(2, 1400, 2500);
    platform::qt::QtPrinter printer;
    QTemporaryDir dir;
    const char *keep = std::getenv("QV_KEEP_PDF");
    const QString path = keep ? QString::fromLocal8Bit(keep) : dir.filePath("wave.pdf");
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(path);
    common::DrawingTarget *page = printer.beginDocument();
    ASSERT_NE(page, nullptr);
    f.printing.Printout0(*page);
    ASSERT_TRUE(printer.endDocument());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_GT(content.size(), 1000);
    EXPECT_TRUE(content.startsWith("%PDF-") && content.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(content.count("/Type /Page\n") + content.count("/Type /Page>>") +
                  content.count("/Type /Page "),
              1);
}

} // namespace
} // namespace qv::output
