#include "output/Printing.h"

#include "PrintFixture.h"
#include "platform/qt/services/QtPrinter.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace qv::output {
namespace {

QApplication &application() {
    static int argc = 1;
    static char name[] = "tests_output_pdf";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// A waveform page with both time cursors through the real printer, as "Print to file" does.
// Set QV_KEEP_PDF to a path to keep the file for a look.
TEST(PdfPrint, WaveformPageBecomesANonEmptyPdf) {
    application();
    testing::PrintFixture f;
    platform::qt::QtPrinter printer;
    platform::Platform platform{f.fp.port, f.fp.messages,  f.fp.files,
                                printer,   f.fp.clipboard, f.fp.clock};
    common::Form form(platform);
    dso::Measurements measurements(form, f.tables);
    spectrum::SpectrumView view(form, f.tables, f.windows);
    cursors::ScreenCursors cursors(form, f.tables, view);
    Printing printing(form, f.tables, measurements, view, cursors);
    form.call.CursorInit = [&cursors] { cursors.CursorInit(); };
    form.v = f.form.v;
    form.wave = f.form.wave;
    form.el.DSOmode.setChecked(true);
    form.el.DSO_wave.setChecked(true);
    dso::DSO_display(form, f.tables, measurements);
    form.v.CursorMode = 1;
    cursors.Picture1_MouseDown(1, 0, 1000, 2500);
    cursors.Picture1_MouseDown(2, 0, 1400, 2500);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const char *keep = std::getenv("QV_KEEP_PDF");
    const QString path = keep ? QString::fromLocal8Bit(keep) : dir.filePath("wave.pdf");
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(path);

    common::DrawingTarget *page = printer.beginDocument();
    ASSERT_NE(page, nullptr);
    printing.Printout0(*page);
    ASSERT_TRUE(printer.endDocument());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_GT(content.size(), 1000);
    EXPECT_TRUE(content.startsWith("%PDF-"));
    EXPECT_TRUE(content.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(content.count("/Type /Page\n") + content.count("/Type /Page>>") +
                  content.count("/Type /Page "),
              1);
}

} // namespace
} // namespace qv::output
