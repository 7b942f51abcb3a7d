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

TEST_F(WindowTest, MenusCarryTheirCaptionsAndShortcuts) {
    for (const MenuSpec &item : menuTree()) {
        if (item.caption == "-")
            continue;
        const QAction *a = window.action(std::string(item.name));
        ASSERT_NE(a, nullptr) << item.name;
        EXPECT_EQ(a->text().toStdString(), item.caption) << item.name;
        EXPECT_EQ(a->shortcut().toString().toStdString(), item.shortcut) << item.name;
    }
}

TEST_F(WindowTest, ButtonsShowTheirTipsAndFollowTheirElements) {
    for (const ButtonSpec &button : toolbarButtons()) {
        const QAction *a = window.action("button:" + std::string(button.key));
        ASSERT_NE(a, nullptr) << button.key;
        EXPECT_EQ(a->toolTip().toStdString(), button.tip);
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
    log->selectAll();
    EXPECT_EQ(log->selectedText().toStdString(), [&] {
        std::string plain = text.text();
        std::erase(plain, '\r');
        return plain;
    }());
    // A line too long for the box wraps instead of scrolling sideways.
    text.setText("");
    text.append(std::string(200, 'x') + "\r\n");
    EXPECT_EQ(log->lineCount(), 2U);
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
    EXPECT_TRUE(el.Save.enabled());
    EXPECT_TRUE(el.menuSave.enabled());
    EXPECT_EQ(log->lineCount(), 3U);

    el.Save.setEnabled(false);
    log->edit();
    log->editor()->reject();
    EXPECT_EQ(text.text(), "b\r\nc\r\n");
    EXPECT_FALSE(el.Save.enabled()) << "a cancelled edit changes nothing";
}

TEST_F(WindowTest, StatusPanelsAndLogLinesFitAtTheDefaultSize) {
    window.resize(609, 450);
    el.RichTextBox1.append("  14:03:27    -0.012 mV  AC  \r\n");
    QApplication::processEvents();
    auto *log = window.findChild<LogView *>();
    ASSERT_NE(log, nullptr);
    EXPECT_FALSE(log->horizontalScrollBar()->isVisible());
    EXPECT_EQ(log->rowsOfLine(0), 1) << "the line does not wrap";
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
