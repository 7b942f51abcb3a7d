#include "app/Layout.h"
#include "app/Program.h"
#include "app/qt/LogView.h"
#include "app/qt/MainWindow.h"
#include "app/qt/Translations.h"
#include "app/qt/TwipsCanvas.h"
#include "platform/fakes/FakePlatform.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

namespace qv::app::qt {
namespace {

class WindowTest : public ::testing::Test {
  protected:
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    MainWindow window{program};
    common::Elements &el = program.form().el;

    void SetUp() override {
        for (auto &p : fp.port.ports)
            p.exists = false;
        program.Form_Load();
        window.resize(609, 450);
        window.show();
    }
};

// The menu items' captions (trailing blanks and access keys included) and shortcuts.
TEST_F(WindowTest, MenusCarryTheirCaptionsAndShortcuts) {
    // clang-format off
    const char *const items[][3] = {
        {"mnuFile", "&File   ", ""}, {"mnuNew", "&New    ", "Ctrl+N"},
        {"menuOpen", "&Open      ", "Ctrl+O"}, {"menuSave", "&Save   ", "Ctrl+S"},
        {"mnuSaveAs", "Save &as     ", ""}, {"mnuPrint", "&Print     ", "Ctrl+P"},
        {"mnuExit", "E&xit   ", ""}, {"mnuEdit", "&Edit   ", ""},
        {"mnuCopy", "&Copy           ", "Ctrl+C"}, {"mnuComm", "&Comm   ", ""},
        {"mnuLink", "&Link   ", "Ctrl+L"}, {"mnuBreak", "&Break  ", "Ctrl+B"},
        {"mnuCOM1", "COM&1", ""}, {"mnuCOM2", "COM&2", ""}, {"mnuCOM3", "COM&3", ""},
        {"mnuCOM4", "COM&4", ""}, {"mnuCOM5", "COM&5", ""}, {"mnuCOM6", "COM&6", ""},
        {"mnuCOM7", "COM&7", ""}, {"mnuCOM8", "COM&8", ""}, {"mnuRun", "&Run    ", ""},
        {"mnuStart", "&Run    ", "F5"}, {"mnuPause", "&Stop   ", "F6"}, {"mnuDMMmode", "DM&M", ""},
        {"mnuDSOmode", "DS&O", ""}, {"mnuDMMrecord", "&Record    ", ""},
        {"mnuDMMRecordStart", "&Start      ", ""}, {"mnuDMMRecordPause", "&End        ", ""},
        {"mnu1s", "1s    ", ""}, {"mnu2s", "2s    ", ""}, {"mnu5s", "5s    ", ""},
        {"mnu10s", "10s    ", ""}, {"mnu20s", "20s    ", ""}, {"mnu30s", "30s    ", ""},
        {"mnu60s", "60s    ", ""}, {"mnuDSOdis", "&Wave      ", ""}, {"mnuDSOwave", "&W.form ", ""},
        {"mnuDSOFFT", "&FFT   ", ""}, {"mnuFFTwindow", "FFT&Window ", ""},
        {"mnuRectangular", "&Rectangular", ""}, {"mnuHanning", "Ha&nning", ""},
        {"mnuHamming", "Ha&mming", ""}, {"mnuBlackman", "&Blackman", ""},
        {"mnuFlattop", "&Flattop", ""}, {"mnuBartlett", "&Bartlett", ""},
        {"mnuFFTdisplay", "&Spectrum   ", ""}, {"mnuLinear", "L&inear ", ""},
        {"mnuLog", "&LOG    ", ""}, {"mnuHelp", "&Help   ", ""},
        {"mnuHelpmain", "&Help Topics", ""}, {"mnuAbout", "&About  ", ""}};
    // clang-format on
    for (const auto &[name, caption, shortcut] : items) {
        const QAction *a = window.action(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text().toStdString(), caption) << name;
        EXPECT_EQ(a->shortcut().toString().toStdString(), shortcut) << name;
    }
}

// Tool tips left to right; each button shows an icon and follows its element.
TEST_F(WindowTest, ButtonsShowTheirTipsAndFollowTheirElements) {
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
        EXPECT_EQ(button.key, tips[i][0]);
        const QAction *a = window.action("button:" + std::string(button.key));
        ASSERT_NE(a, nullptr) << button.key;
        EXPECT_EQ(a->toolTip().toStdString(), tips[i][1]);
        EXPECT_FALSE(a->icon().isNull()) << button.key;
        EXPECT_EQ(a->isEnabled(), (el.*button.element).enabled()) << button.key;
    }
    EXPECT_EQ(window.scope()->toolTip(), QStringLiteral("DSO窗口"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("PC520"));
}

TEST_F(WindowTest, AClickRunsTheCommandWhichAloneSetsTheState) {
    QAction *pause = window.action("mnuPause");
    pause->trigger();
    EXPECT_TRUE(el.mnuPause.checked() && !el.mnuStart.checked());
    EXPECT_TRUE(pause->isChecked() && !pause->isEnabled());
    QAction *start = window.action("button:StartStop");
    start->trigger();
    EXPECT_TRUE(el.StartStop.checked() && start->isChecked());
    QAction *about = window.action("mnuHelpmain");
    about->trigger();
    EXPECT_FALSE(about->isChecked()) << "no item checks itself";
}

TEST_F(WindowTest, MenuShortcutsWinOverTheFocusedTitleBox) {
    program.commands().pressButton("DSOmode");
    el.mnuCopy.setEnabled(true);
    auto *title = window.findChild<QLineEdit *>();
    ASSERT_NE(title, nullptr);
    QApplication::setActiveWindow(&window);
    title->setFocus();
    title->setText(QStringLiteral("note"));
    title->selectAll();
    QTest::keyClick(title, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(fp.clipboard.image.has_value()) << "Ctrl+C copies the scope screen";
    EXPECT_EQ(title->text(), QStringLiteral("note"));
    QTest::keyClick(title, Qt::Key_X);
    EXPECT_EQ(title->text(), QStringLiteral("x")) << "other keys still type";
}

TEST_F(WindowTest, TheLogFollowsItsTextAndAUserEditEnablesSave) {
    auto *log = window.findChild<LogView *>();
    ASSERT_NE(log, nullptr);
    common::LogControl &text = el.RichTextBox1;
    for (int i = 0; i < 500; ++i) {
        text.append("  14:03:27     1.234 V   DC   \r\n");
        text.moveCaretToEnd();
    }
    QApplication::processEvents();
    const QScrollBar *bar = log->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum()) << "the newest line is in view";
    EXPECT_EQ(log->rowsOfLine(0), 1) << "a line fits at the default size";
    log->selectAll();
    std::string plain = text.text();
    std::erase(plain, '\r');
    EXPECT_EQ(log->selectedText().toStdString(), plain);
    // A line too long for the box wraps instead of scrolling sideways.
    text.setText("");
    text.append(std::string(200, 'x') + "\r\n");
    EXPECT_GT(log->rowsOfLine(0), 1);
    EXPECT_FALSE(log->horizontalScrollBar()->isVisible());

    text.setText("a\r\n");
    el.Save.setEnabled(false);
    el.menuSave.setEnabled(false);
    log->edit();
    ASSERT_NE(log->editor(), nullptr);
    auto *box = log->editor()->findChild<QPlainTextEdit *>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("a\n"));
    box->setPlainText(QStringLiteral("b\n"));
    text.append("c\r\n"); // the record timer goes on while the editor is open
    log->editor()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(text.text(), "b\r\nc\r\n");
    EXPECT_TRUE(el.Save.enabled() && el.menuSave.enabled());
    EXPECT_EQ(log->lineCount(), 3U);

    el.Save.setEnabled(false);
    log->edit();
    log->editor()->reject();
    EXPECT_EQ(text.text(), "b\r\nc\r\n");
    EXPECT_FALSE(el.Save.enabled()) << "a cancelled edit changes nothing";
}

TEST_F(WindowTest, StatusPanelsFitAtTheDefaultSize) {
    // A longer text before leaves no panel wider than its text needs now.
    program.serialLink().connectDevice("/dev/ttyUSB9", false);
    QApplication::processEvents();
    el.panel[0].setText("通信电缆已连接在COM 1，通信已建立");
    el.panel[1].setText("仪表型号: ZORA900A");
    el.panel[2].setText("工作模式: DSO mem");
    el.panel[3].setText("数据间隔60s");
    QApplication::processEvents();
    int right = 0;
    for (const QLabel *panel : window.statusBar()->findChildren<QLabel *>()) {
        EXPECT_GE(panel->contentsRect().width(),
                  panel->fontMetrics().horizontalAdvance(panel->text()))
            << panel->text().toStdString() << " is cut";
        EXPECT_GE(panel->x(), right) << panel->text().toStdString() << " covers its neighbour";
        right = panel->geometry().right();
    }
}

TEST_F(WindowTest, PanelOnesToolTipSaysWhatHappenedToTheLink) {
    program.serialLink().connectDevice("/dev/ttyUSB9", false);
    const auto panels = window.statusBar()->findChildren<QLabel *>();
    const auto link =
        std::ranges::find(panels, QString::fromStdString(el.panel[0].text()), &QLabel::text);
    ASSERT_NE(link, panels.end());
    EXPECT_EQ((*link)->toolTip().toStdString(),
              "/dev/ttyUSB9: cannot open (No such file or directory)");
}

TEST(Translations, StandardButtonsSpeakChinese) {
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

TEST_F(WindowTest, ScopeClicksArriveInTwipsAtAnySize) {
    program.commands().pressButton("DSOmode");
    el.XCursor.setEnabled(true);
    program.commands().pressButton("XCursor");
    for (const double factor : {1.0, 2.0}) {
        window.resize(static_cast<int>(609 * factor), static_cast<int>(450 * factor));
        QApplication::processEvents();
        TwipsCanvas *scope = window.scope();
        const double perTwip = scope->pixelsPerTwip();
        const QPoint at(static_cast<int>(std::lround(2000 * perTwip)),
                        static_cast<int>(std::lround(1000 * perTwip)));
        QTest::mouseClick(scope, Qt::LeftButton, {}, at);
        EXPECT_NEAR(program.cursors().state().TimeCursor1X, 2000, 1 / perTwip) << factor;
    }
    EXPECT_EQ(window.scope()->image().size(), window.scope()->size() * window.devicePixelRatio());
}

} // namespace
} // namespace qv::app::qt

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
