#include "app/ExportCommands.h"
#include "app/Layout.h"
#include "app/Program.h"
#include "app/cli/StartupFile.h"
#include "app/qt/MainWindow.h"
#include "app/qt/TwipsCanvas.h"
#include "files/WaveformFormat.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/qt/services/DisplayListPainter.h"
#include "platform/qt/services/FileReplace.h"
#include "platform/qt/services/QtClipboard.h"
#include "platform/qt/services/QtPictureWriter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <unistd.h>

namespace qv::app::qt {
namespace {

std::string readAll(const std::string &path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(unreadable)");
}

/// The window in DSO mode with a sine opened from a waveform file, exporting through the real
/// picture writer.
class ExportWindowTest : public ::testing::Test {
  protected:
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    MainWindow window{program};
    platform::qt::QtPictureWriter pictures;
    QTemporaryDir dir;
    common::Elements &el = program.form().el;

    std::string path(const std::string &name) const {
        return dir.path().toStdString() + "/" + name;
    }
    void SetUp() override {
        for (auto &p : fp.port.ports)
            p.exists = false;
        program.Form_Load();
        program.exports().setPictureWriter(&pictures);
        window.resize(609, 450);
        window.show();
    }
    void openSine() {
        files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03:27"};
        r.params = {13, 0, 7, 0, 1, 1, 0, 0}; // 1 ms/div, 2 V/div, DC
        for (size_t i = 0; i < r.samples.size(); ++i)
            r.samples[i] = std::round(20 * std::sin(2 * 3.14159265358979 * double(i) / 40));
        std::ofstream(path("wave1.dso"), std::ios::binary) << files::WaveformFormat::compose(r);
        program.commands().pressButton("DSOmode");
        ASSERT_TRUE(program.waveFiles().FileOpen0(path("wave1.dso")));
    }
    /// Chooses the Export item in the menu, answering the save dialog with name.
    void exportVia(ExportItem item, const std::string &name) {
        fp.files.saveAnswers = {name};
        program.exports().updateItems();
        QAction *a = window.action(std::string(kExportItems[static_cast<size_t>(item)]));
        ASSERT_NE(a, nullptr);
        a->trigger();
    }
    [[nodiscard]] std::vector<bool> enabledItems() {
        program.exports().updateItems();
        std::vector<bool> out;
        for (const auto &name : kExportItems)
            out.push_back(window.action(std::string(name))->isEnabled());
        return out;
    }
};

TEST_F(ExportWindowTest, ItemsAreEnabledWhenThereIsSomethingToWrite) {
    using V = std::vector<bool>;
    EXPECT_EQ(enabledItems(), V(6, false)); // DMM mode, empty log
    el.RichTextBox1.setText("  14:03:27    -1.234 mV  DC    \r\n");
    EXPECT_EQ(enabledItems(), (V{false, false, false, false, false, true}));
    program.commands().pressButton("DSOmode");
    EXPECT_EQ(enabledItems(), V(6, false)); // no waveform yet
    openSine();
    EXPECT_EQ(enabledItems(), (V{true, true, true, true, true, false}));
    // The submenu stands after Print and before Exit.
    std::vector<std::string> file;
    for (const MenuSpec &m : menuTree())
        if (m.depth > 0 && (file.empty() || file.back() != "mnuExit"))
            file.push_back(std::string(m.name));
    const auto at = [&](const char *n) { return std::find(file.begin(), file.end(), n); };
    EXPECT_LT(at("mnuPrint"), at("mnuExport"));
    EXPECT_LT(at("mnuExportRecordCsv"), at("mnuExit"));
}

TEST_F(ExportWindowTest, CsvGetsItsExtensionAndAFailedWriteSaysWhy) {
    openSine();
    exportVia(ExportItem::WaveformCsv, path("sine"));
    EXPECT_EQ(readAll(path("sine.csv")), program.exports().waveformCsv());
    exportVia(ExportItem::SpectrumCsv, path("spectrum.txt")); // a name with an extension stays
    EXPECT_NE(readAll(path("spectrum.txt")).find("bin,frequency_hz,magnitude"), std::string::npos);
    exportVia(ExportItem::WaveformCsv, path("no/such/folder/sine.csv"));
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text.rfind(path("no/such/folder/sine.csv") + " 保存失败: ", 0),
              0u);
    EXPECT_TRUE(fp.messages.shown[0].warning);
}

TEST_F(ExportWindowTest, PicturesShowTheScreenAsDrawn) {
    openSine();
    exportVia(ExportItem::Png, path("screen"));
    const QImage png(QString::fromStdString(path("screen.png")));
    // The window's own scope screen at its default 96-dpi size, and the clipboard copy: the
    // same pixels.
    window.scope()->resize(369, 337);
    ASSERT_EQ(png.size(), QSize(369, 337));
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              window.scope()->image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              platform::qt::QtClipboard::render(el.Picture1, ExportCommands::kScreenWidth,
                                                ExportCommands::kScreenHeight));

    const std::vector<std::string> readouts{"Model: 7302", "t:", "ms/div", "Vp-p", "500 Hz"};
    exportVia(ExportItem::Svg, path("screen.svg"));
    EXPECT_TRUE(QSvgRenderer(QString::fromStdString(path("screen.svg"))).isValid());
    const std::string svg = readAll(path("screen.svg"));
    for (const auto &text : readouts)
        EXPECT_NE(svg.find(text), std::string::npos) << text;

    exportVia(ExportItem::Pdf, path("screen.pdf"));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QString::fromStdString(path("screen.pdf")), QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const std::string text = pdftotext.readAllStandardOutput().toStdString();
    for (const auto &t : readouts)
        EXPECT_NE(text.find(t), std::string::npos) << t << " in " << text;
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(ExportWindowTest, AFileNamedAtStartUpOpensInDsoMode) {
    std::ofstream(path("bad.dso"), std::ios::binary) << "QVDATALINK47 V1.0\r\nNOPE\r\n";
    EXPECT_FALSE(cli::openAtStartUp(program, path("bad.dso")));
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, path("bad.dso") + " 文件格式不正确");
    EXPECT_FALSE(program.form().wave.WaveValid);
    EXPECT_TRUE(el.DSOmode.checked());

    files::WaveformRecord r{"7302", 0, "title", "2026-12-07", "14:03:27"};
    std::ofstream(path("good.dso"), std::ios::binary) << files::WaveformFormat::compose(r);
    EXPECT_TRUE(cli::openAtStartUp(program, path("good.dso")));
    EXPECT_EQ(el.caption.text(), "good.dso - QVLINK");
    EXPECT_TRUE(program.form().wave.WaveValid);
}

TEST_F(ExportWindowTest, ReplacingAFileWithoutWaitingForTheDisk) {
    const std::string file = path("a.csv");
    for (const std::string text : {"old", "new"})
        ASSERT_TRUE(platform::qt::replaceFile(file, text, false).ok);
    EXPECT_EQ(readAll(file), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.csv")});
    QFile(dir.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const auto refused = platform::qt::replaceFile(file, "newer", false);
    QFile(dir.path())
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(refused.ok);
        EXPECT_FALSE(refused.reason.empty());
    }
    EXPECT_EQ(readAll(file), refused.ok ? "newer" : "new");
}

TEST_F(ExportWindowTest, ScaledPngAndCancelledCursorsInVectors) {
    openSine();
    const QImage twice = platform::qt::QtPictureWriter::png(el.Picture1, 5530, 5055, 2);
    EXPECT_EQ(twice.size(), QSize(737, 674));
    // A cursor line drawn twice in XOR is gone from the vector list; one drawn once stays, in
    // the colour it shows over the white screen.
    common::DrawingTarget t;
    t.setDrawMode(common::DrawMode::Xor);
    t.line(100, 0, 100, 50, common::kCyan);
    t.line(200, 0, 200, 50, common::kCyan);
    t.line(100, 0, 100, 50, common::kCyan);
    const auto flat = platform::qt::withoutXor(t.ops());
    ASSERT_EQ(flat.size(), 2u); // the clear and the line at 200
    const auto &line = std::get<common::LineOp>(flat[1]);
    EXPECT_EQ(line.x1, 200);
    EXPECT_EQ(line.color, (common::Rgb{255, 0, 0}));
    EXPECT_EQ(line.mode, common::DrawMode::Copy);
}

} // namespace
} // namespace qv::app::qt
