#include "app/ExportCommands.h"
#include "app/Layout.h"
#include "app/Program.h"
#include "app/cli/Cli.h"
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

/// The window exporting through the real picture writer.
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
    /// Opens a sine as a file named at start-up, which enters DSO mode.
    void openSine() {
        files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03:27"};
        r.params = {13, 0, 7, 0, 1, 1, 0, 0}; // 1 ms/div, 2 V/div, DC
        for (size_t i = 0; i < r.samples.size(); ++i)
            r.samples[i] = std::round(20 * std::sin(2 * 3.14159265358979 * double(i) / 40));
        std::ofstream(path("wave1.dso"), std::ios::binary) << files::WaveformFormat::compose(r);
        ASSERT_TRUE(cli::openAtStartUp(program, path("wave1.dso")));
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
    // A bad file named at start-up leaves the window in DSO mode without a waveform.
    std::ofstream(path("bad.dso"), std::ios::binary) << "QVDATALINK47 V1.0\r\nNOPE\r\n";
    EXPECT_FALSE(cli::openAtStartUp(program, path("bad.dso")));
    EXPECT_TRUE(el.DSOmode.checked());
    EXPECT_EQ(enabledItems(), V(6, false));
    openSine();
    EXPECT_EQ(enabledItems(), (V{true, true, true, true, true, false}));
    // The submenu stands after Print and before Exit.
    const auto at = [](std::string_view n) {
        return std::ranges::find(menuTree(), n, &MenuSpec::name);
    };
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
    EXPECT_EQ(platform::qt::QtPictureWriter::png(el.Picture1, 5530, 5055, 2).size(),
              QSize(737, 674)); // at twice the size

    exportVia(ExportItem::Svg, path("screen.svg"));
    EXPECT_TRUE(QSvgRenderer(QString::fromStdString(path("screen.svg"))).isValid());
    exportVia(ExportItem::Pdf, path("screen.pdf"));
    QProcess pdf;
    pdf.start(QStringLiteral("pdftotext"), {QString::fromStdString(path("screen.pdf")), "-"});
    ASSERT_TRUE(pdf.waitForFinished(30000));
    for (const std::string &text :
         {readAll(path("screen.svg")), pdf.readAllStandardOutput().toStdString()})
        for (const char *readout : {"Model: 7302", "t:", "ms/div", "Vp-p", "500 Hz"})
            EXPECT_NE(text.find(readout), std::string::npos) << readout << " in " << text;
    EXPECT_TRUE(fp.messages.shown.empty());
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

TEST(VectorPictures, CancelledCursorsAreLeftOut) {
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
    EXPECT_EQ(std::tuple(line.x1, line.color, line.mode),
              std::tuple(200.0, common::Rgb{255, 0, 0}, common::DrawMode::Copy));
}

TEST(Headless, OnlyHelpVersionAndSubcommandsRunWithoutAWindow) {
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{"--demo", "dso"}, false}, {{"wave.dso"}, false}, {{"--port", "x", "-v"}, true},
        {{"--help"}, true},         {{"-h"}, true},        {{"info", "wave.dso"}, true}};
    for (auto [args, headless] : cases) {
        args.insert(args.begin(), "qvlink");
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        unsetenv("QT_QPA_PLATFORM");
        cli::headlessWhenNoWindow(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(std::getenv("QT_QPA_PLATFORM") != nullptr, headless) << args[1];
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

} // namespace
} // namespace qv::app::qt
