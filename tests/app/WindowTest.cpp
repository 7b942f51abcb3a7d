#include "app/Layout.h"
#include "app/Program.h"
#include "app/qt/MainWindow.h"
#include "app/qt/TwipsCanvas.h"
#include "platform/fakes/FakePlatform.h"

#include <QAction>
#include <QApplication>
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
    EXPECT_TRUE(el.mnuPause.checked());
    EXPECT_FALSE(el.mnuStart.checked());
    EXPECT_TRUE(pause->isChecked());
    EXPECT_FALSE(pause->isEnabled());
    QAction *start = window.action("button:StartStop");
    start->trigger();
    EXPECT_TRUE(el.StartStop.checked());
    EXPECT_TRUE(start->isChecked());
    QAction *about = window.action("mnuHelpmain");
    about->trigger();
    EXPECT_FALSE(about->isChecked()) << "no item checks itself";
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
