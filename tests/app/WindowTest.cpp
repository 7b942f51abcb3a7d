#include "app/Layout.h"
#include "app/qt/DeviceDialog.h"
#include "app/qt/LogView.h"
#include "app/qt/TwipsCanvas.h"
#include "platform/fakes/FakeLinkServices.h"
#include "platform/qt/services/DisplayListPainter.h"
#include "platform/qt/services/QtClipboard.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "tests/TestFiles.h"
#include "tests/app/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTest>

namespace qv::app::qt {
namespace {

using test::contents;

/// The window without a meter, exporting through the real picture writer into a scratch folder.
class WindowTest : public WindowFixture {
  protected:
    platform::qt::QtPictureWriter pictures;

    void SetUp() override {
        for (auto &p : fp.port.ports)
            p.exists = false;
        program.Form_Load();
        program.exports().setPictureWriter(&pictures);
        window.resize(609, 450), window.show();
    }
    void exportVia(ExportItem item, const std::string &name) {
        fp.files.saveAnswers = {name};
        program.exports().updateItems();
        QAction *a = window.action(std::string(kExportItems[static_cast<size_t>(item)]));
        ASSERT_NE(a, nullptr);
        a->trigger();
    }
    /// The Export items, '1' for enabled.
    [[nodiscard]] std::string enabledItems() {
        program.exports().updateItems();
        std::string out;
        for (const auto &name : kExportItems)
            out += window.action(std::string(name))->isEnabled() ? '1' : '0';
        return out;
    }
};

// Captions (trailing blanks and access keys included), shortcuts, tool tips, standard buttons.
TEST_F(WindowTest, MenusButtonsAndDialogsCarryTheirTexts) {
    // clang-format off
    std::vector<std::array<std::string, 3>> items = {
        {"mnuFile", "&File   ", ""}, {"mnuNew", "&New    ", "Ctrl+N"},
        {"menuOpen", "&Open      ", "Ctrl+O"}, {"menuSave", "&Save   ", "Ctrl+S"},
        {"mnuSaveAs", "Save &as     ", ""}, {"mnuPrint", "&Print     ", "Ctrl+P"},
        {"mnuExit", "E&xit   ", ""}, {"mnuEdit", "&Edit   ", ""},
        {"mnuCopy", "&Copy           ", "Ctrl+C"}, {"mnuComm", "&Comm   ", ""},
        {"mnuLink", "&Link   ", "Ctrl+L"}, {"mnuBreak", "&Break  ", "Ctrl+B"},
        {"mnuRun", "&Run    ", ""}, {"mnuStart", "&Run    ", "F5"}, {"mnuPause", "&Stop   ", "F6"},
        {"mnuDMMmode", "DM&M", ""}, {"mnuDSOmode", "DS&O", ""}, {"mnuDMMrecord", "&Record    ", ""},
        {"mnuDMMRecordStart", "&Start      ", ""}, {"mnuDMMRecordPause", "&End        ", ""},
        {"mnuDSOdis", "&Wave      ", ""}, {"mnuDSOwave", "&W.form ", ""},
        {"mnuDSOFFT", "&FFT   ", ""}, {"mnuFFTwindow", "FFT&Window ", ""},
        {"mnuRectangular", "&Rectangular", ""}, {"mnuHanning", "Ha&nning", ""},
        {"mnuHamming", "Ha&mming", ""}, {"mnuBlackman", "&Blackman", ""},
        {"mnuFlattop", "&Flattop", ""}, {"mnuBartlett", "&Bartlett", ""},
        {"mnuFFTdisplay", "&Spectrum   ", ""}, {"mnuLinear", "L&inear ", ""},
        {"mnuLog", "&LOG    ", ""}, {"mnuHelp", "&Help   ", ""},
        {"mnuHelpmain", "&Help Topics", ""}, {"mnuAbout", "&About  ", ""}};
    // clang-format on
    for (int n = 1; n <= 8; ++n)
        items.push_back({"mnuCOM" + std::to_string(n), "COM&" + std::to_string(n), ""});
    for (const int s : {1, 2, 5, 10, 20, 30, 60})
        items.push_back({"mnu" + std::to_string(s) + "s", std::to_string(s) + "s    ", ""});
    for (const auto &[name, caption, shortcut] : items) {
        const QAction *a = window.action(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text().toStdString() + "|" + a->shortcut().toString().toStdString(),
                  caption + "|" + shortcut);
    }
    // clang-format off
    const char *const tips[][2] = {
        {"New", "新建文件"}, {"Open", "打开文件"}, {"Save", "保存文件"}, {"Print", "打印"},
        {"Copy", "复制"}, {"Link", "连接"}, {"DMMmode", "DMM模式"}, {"DSOmode", "DSO模式"},
        {"StartStop", "开始"}, {"DMMRecord", "DMM记录"}, {"DSO_wave", "波形"},
        {"DSO_FFT", "FFT频谱"}, {"XCursor", "水平光标"}, {"YCursor", "垂直光标"}};
    // clang-format on
    ASSERT_EQ(toolbarButtons().size(), std::size(tips));
    for (std::size_t i = 0; i < std::size(tips); ++i) {
        const ButtonSpec &button = toolbarButtons()[i];
        const QAction *a = window.action("button:" + std::string(button.key));
        ASSERT_NE(a, nullptr) << button.key;
        EXPECT_EQ(
            std::tuple(button.key, a->toolTip().toStdString(), a->icon().isNull(), a->isEnabled()),
            std::tuple(tips[i][0], tips[i][1], false, (el.*button.element).enabled()));
    }
    EXPECT_EQ(window.windowTitle(), QStringLiteral("PC520"));
}

// Only the command sets the state; shortcuts beat the title box; scope clicks arrive in twips.
TEST_F(WindowTest, ClicksAndShortcutsReachTheProgram) {
    QAction *pause = window.action("mnuPause");
    pause->trigger();
    EXPECT_TRUE(el.mnuPause.checked() && !el.mnuStart.checked() && pause->isChecked() &&
                !pause->isEnabled());
    QAction *start = window.action("button:StartStop");
    start->trigger();
    EXPECT_TRUE(el.StartStop.checked() && start->isChecked());
    window.action("mnuHelpmain")->trigger();
    EXPECT_FALSE(window.action("mnuHelpmain")->isChecked()) << "no item checks itself";

    openSine();
    auto *title = window.findChild<QLineEdit *>();
    ASSERT_NE(title, nullptr);
    QApplication::setActiveWindow(&window);
    title->setFocus(), title->setText(QStringLiteral("note")), title->selectAll();
    QTest::keyClick(title, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(fp.clipboard.image.has_value()) << "Ctrl+C copies the scope screen";
    EXPECT_EQ(title->text(), QStringLiteral("note"));
    QTest::keyClick(title, Qt::Key_X);
    EXPECT_EQ(title->text(), QStringLiteral("x")) << "other keys still type";

    program.commands().pressButton("XCursor");

    for (const double factor : {1.0, 2.0}) {
        window.resize(static_cast<int>(609 * factor), static_cast<int>(450 * factor));
        QApplication::processEvents();
        TwipsCanvas *scope = window.scope();
        const double perTwip = scope->pixelsPerTwip();
        QTest::mouseClick(scope, Qt::LeftButton, {}, (QPointF(2000, 1000) * perTwip).toPoint());
        EXPECT_NEAR(program.cursors().state().TimeCursor1X, 2000, 1 / perTwip) << factor;
    }
    EXPECT_EQ(window.scope()->image().size(), window.scope()->size() * window.devicePixelRatio());
}

TEST_F(WindowTest, TheLogFollowsItsTextAndAUserEditEnablesSave) {
    auto *log = window.findChild<LogView *>();
    ASSERT_NE(log, nullptr);
    common::LogControl &text = el.RichTextBox1;
    for (int i = 0; i < 500; ++i)
        text.append("  14:03:27     1.234 V   DC   \r\n"), text.moveCaretToEnd();
    QApplication::processEvents();
    const QScrollBar *bar = log->verticalScrollBar();
    EXPECT_TRUE(bar->maximum() > 0 && bar->value() == bar->maximum()) << "the newest line in view";
    EXPECT_EQ(log->rowsOfLine(0), 1) << "a line fits at the default size";
    log->selectAll();
    EXPECT_EQ(log->selectedText(), QString::fromStdString(text.text()).remove('\r'));
    // A line too long for the box wraps instead of scrolling sideways.
    text.setText("");
    text.append(std::string(200, 'x') + "\r\n");
    EXPECT_TRUE(log->rowsOfLine(0) > 1 && !log->horizontalScrollBar()->isVisible());

    text.setText("a\r\n");
    el.Save.setEnabled(false), el.menuSave.setEnabled(false);
    log->edit();
    ASSERT_NE(log->editor(), nullptr);
    auto *box = log->editor()->findChild<QPlainTextEdit *>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("a\n"));
    box->setPlainText(QStringLiteral("b\n"));
    text.append("c\r\n"); // the record timer goes on while the editor is open
    log->editor()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(std::tuple(text.text(), el.Save.enabled() && el.menuSave.enabled(), log->lineCount()),
              std::tuple("b\r\nc\r\n", true, 3U));

    el.Save.setEnabled(false);
    log->edit();
    log->editor()->reject();
    EXPECT_EQ(std::tuple(text.text(), el.Save.enabled()), std::tuple("b\r\nc\r\n", false))
        << "a cancelled edit changes nothing";
}

// Items enabled with something to write; CSV gets its extension; a failed write says why.
TEST_F(WindowTest, ExportItemsEnableAndWriteCsv) {
    EXPECT_EQ(enabledItems(), "000000"); // DMM mode, empty log
    el.RichTextBox1.setText("  14:03:27    -1.234 mV  DC    \r\n");
    EXPECT_EQ(enabledItems(), "000001");
    exportVia(ExportItem::RecordCsv, path("log"));
    EXPECT_EQ(contents(path("log.csv")),
              "time,value,unit,text\r\n14:03:27,-1.234,mV  DC,\"-1.234mV  DC    \"\r\n");
    // A bad file named at start-up leaves the window in DSO mode without a waveform.
    std::ofstream(path("bad.dso"), std::ios::binary) << "QVDATALINK47 V1.0\r\nNOPE\r\n";
    EXPECT_FALSE(cli::openAtStartUp(program, path("bad.dso")));
    EXPECT_EQ(std::tuple(el.DSOmode.checked(), enabledItems()), std::tuple(true, "000000"));
    openSine();
    EXPECT_EQ(enabledItems(), "111110");

    fp.messages.shown.clear(); // the bad file's message
    exportVia(ExportItem::WaveformCsv, path("sine"));
    EXPECT_EQ(contents(path("sine.csv")), program.exports().waveformCsv());
    fp.messages.answers = {platform::Answer::Cancel}; // not to be replaced: kept as it is
    exportVia(ExportItem::SpectrumCsv, path("sine.csv")), exportVia(ExportItem::SpectrumCsv, "");
    EXPECT_EQ(contents(path("sine.csv")), program.exports().waveformCsv());
    fp.messages.shown.clear();
    exportVia(ExportItem::SpectrumCsv, path("spectrum.txt")); // a name with an extension stays
    EXPECT_NE(contents(path("spectrum.txt")).find("bin,frequency_hz,magnitude"), std::string::npos);
    exportVia(ExportItem::WaveformCsv, path("no/such/folder/sine.csv"));
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text.rfind(path("no/such/folder/sine.csv") + " 保存失败: ", 0),
              0u);
    EXPECT_TRUE(fp.messages.shown[0].warning);
}

TEST_F(WindowTest, PicturesShowTheScreenAsDrawn) {
    openSine();
    exportVia(ExportItem::Png, path("screen"));
    const QImage png =
        QImage(QString::fromStdString(path("screen.png"))).convertToFormat(QImage::Format_RGB32);
    // The same pixels as the scope screen at its default size and the clipboard copy.
    window.scope()->resize(369, 337);
    EXPECT_EQ(png, window.scope()->image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(png, platform::qt::QtClipboard::render(el.Picture1, ExportCommands::kScreenWidth,
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
         {contents(path("screen.svg")), pdf.readAllStandardOutput().toStdString()})
        for (const char *readout : {"Model: 7302", "t:", "ms/div", "Vp-p", "500 Hz"})
            EXPECT_NE(text.find(readout), std::string::npos) << readout << " in " << text;
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST(VectorPictures, CancelledCursorsAreLeftOut) {
    // A cursor drawn twice in XOR is gone; one drawn once stays, in the colour it shows on white.
    common::DrawingTarget t;
    t.setDrawMode(common::DrawMode::Xor);
    for (const double x : {100, 200, 100})
        t.line(x, 0, x, 50, common::kCyan);
    const auto flat = platform::qt::withoutXor(t.ops());
    ASSERT_EQ(flat.size(), 2u); // the clear and the line at 200
    const auto &line = std::get<common::LineOp>(flat[1]);
    EXPECT_EQ(std::tuple(line.x1, line.color, line.mode),
              std::tuple(200.0, common::Rgb{255, 0, 0}, common::DrawMode::Copy));
}

// The Other port… dialog, in the program's language, lists the devices; a row fills the path.
TEST(DeviceDialogTest, ListsTheSystemsDevicesAndARowFillsThePath) {
    platform::fakes::FakeSerialDevices devices;
    devices.devices = {
        {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001},
        {"ttyS0", "/dev/ttyS0"}};
    DeviceDialog dialog;
    dialog.load(devices);
    QTableWidget *table = dialog.table();
    ASSERT_EQ(table->rowCount(), 2);
    QStringList texts{dialog.windowTitle(), dialog.findChild<QLabel *>()->text()}, first;
    for (int col = 0; col < table->columnCount(); ++col) {
        texts << table->horizontalHeaderItem(col)->text();
        first << table->item(0, col)->text();
    }
    EXPECT_EQ(texts.join('|').toStdString(),
              "其他端口|设备路径:|设备|描述|制造商|序列号|厂商 ID|产品 ID");
    EXPECT_EQ(first.join('|').toStdString(), "ttyUSB0|FT232R USB UART|FTDI|A50285BI|0403|6001");
    EXPECT_EQ(table->item(1, 4)->text(), QString());
    table->setCurrentCell(1, 0);
    EXPECT_EQ(dialog.chosen(), "/dev/ttyS0");
    dialog.pathField()->setText(QStringLiteral("  /dev/pts/4 "));
    EXPECT_EQ(dialog.chosen(), "/dev/pts/4") << "a typed path, trimmed";
    devices.devices.pop_back(), dialog.load(devices); // the adapter list changed: Refresh shows it
    EXPECT_EQ(table->rowCount(), 1);
}

} // namespace
} // namespace qv::app::qt
