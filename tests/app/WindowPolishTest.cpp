#include "app/RecordRecovery.h"
#include "app/qt/LogView.h"
#include "app/qt/StatusPanel.h"
#include "files/DmmRecordFile.h"
#include "platform/qt/services/QtFileDialogs.h"
#include "platform/qt/services/QtMessageBoxes.h"
#include "tests/app/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace qv::app::qt {
namespace {

using WindowPolishTest = WindowFixture;

// Panels keep their shares (3500 : 2000 : 2200 : 1440); a long name is elided, whole in the tip.
TEST_F(WindowPolishTest, StatusPanelsKeepTheirWidthsAndElideALongText) {
    const QString device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A6008isP-if00-port0";
    program.serialLink().connectDevice(device.toStdString(), false);
    auto panels = window.statusBar()->findChildren<StatusPanel *>();
    ASSERT_EQ(panels.size(), 4);
    qsizetype shown = 0;
    for (const int width : {609, 1400}) {
        window.resize(width, 450);
        QApplication::processEvents();
        std::ranges::sort(panels, {}, &QWidget::x);
        int right = -1, total = 0;
        for (const StatusPanel *panel : panels) {
            EXPECT_GT(panel->x(), right) << panel->text().toStdString() << " covers its neighbour";
            right = panel->geometry().right(), total += panel->width();
        }
        const double shares[] = {3500, 2000, 2200, 1440};
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(panels[i]->width(), total * shares[i] / 9140, 6) << i << " at " << width;
        const StatusPanel *link = panels[0];
        EXPECT_TRUE(link->shownText().contains(QStringLiteral("…")));
        EXPECT_EQ(link->toolTip(),
                  link->text() + "\n" + device + ": 无法打开 (No such file or directory)");
        EXPECT_GT(link->shownText().size(), shown) << "a wider window shows more";
        shown = link->shownText().size();
        EXPECT_EQ(panels[3]->toolTip(), QString()) << "a text that fits has no tool tip";
    }
}

// Ctrl+C copies the log's selection while Copy is disabled, else the screen; the menu names keys.
TEST_F(WindowPolishTest, TheLogCopiesAndEditsWithTheKeysItsMenusName) {
    auto *log = window.findChild<LogView *>();
    el.RichTextBox1.setText("  14:03:27     1.234 V   DC   \r\n");
    QApplication::setActiveWindow(&window);
    log->setFocus(), log->selectAll();
    const auto menuTexts = [log] {
        QStringList texts;
        const std::unique_ptr<QMenu> menu = log->contextMenu();
        for (const QAction *a : menu->actions())
            texts << a->text();
        return texts.join(QLatin1Char('|')).toStdString();
    };
    for (const bool copyEnabled : {false, true}) {
        el.mnuCopy.setEnabled(copyEnabled);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(),
                  copyEnabled ? "before" : "  14:03:27     1.234 V   DC   \n");
        EXPECT_EQ(fp.clipboard.image.has_value(), copyEnabled) << "the scope screen";
        EXPECT_EQ(menuTexts(), std::string(copyEnabled ? "复制\tCtrl+Ins" : "复制\tCtrl+C") +
                                   "|全选\tCtrl+A||编辑…\tF2");
    }

    // The editor opens on the line double-clicked; Edit > 编辑记录… (F2) opens it from anywhere.
    for (int i = 0; i < 300; ++i)
        el.RichTextBox1.append("  14:03:27     " + std::to_string(i) + " V   DC   \r\n");
    el.RichTextBox1.moveCaretToEnd();
    QApplication::processEvents();
    const int top = log->verticalScrollBar()->value();
    const int lineHeight = log->fontMetrics().lineSpacing();
    QTest::mouseDClick(log->viewport(), Qt::LeftButton, {}, QPoint(20, 4 + lineHeight * 5 / 2));
    ASSERT_NE(log->editor(), nullptr);
    const auto *box = log->editor()->findChild<QPlainTextEdit *>();
    EXPECT_EQ(box->textCursor().blockNumber(), top + 2);
    log->editor()->reject();

    const QAction *item = window.action("editLog");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(std::tuple(item->text(), window.action("mnuEdit")->menu()->actions().contains(item)),
              std::tuple(QStringLiteral("编辑记录…"), true));
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_F2);
    EXPECT_NE(log->editor(), nullptr);
    log->editor()->reject();
    program.commands().pressButton("DSOmode"); // the log is disabled: so is its editor
    EXPECT_FALSE(item->isEnabled());
}

// The recovery question says what it restores; a record file given to Open says where it opens.
TEST_F(WindowPolishTest, TheRecoveryQuestionTellsWhatItRestoresAndStandsOverTheWindow) {
    std::string lines = "  No.1:   1.000 V   DC   \r\n";
    for (int i = 0; i < 300; ++i)
        lines += "  18:25:" + std::string(i < 299 ? "03" : "59") + "     1.234 V   DC   \r\n";
    std::ofstream(path("recovery.txt"), std::ios::binary) << lines;
    RecordRecovery recovery(program.form(), path("recovery.txt"));
    fp.messages.answers = {platform::Answer::Yes};
    recovery.start();
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "恢复上次未保存的记录? (301 行, 18:25:03 – 18:25:59)");
    QApplication::processEvents();
    const QScrollBar *bar = window.findChild<LogView *>()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum()) << "the newest lines in view";

    std::ofstream(path("record.txt"), std::ios::binary)
        << "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\nQM520V DMM Record: \r\n\r\n";
    fp.files.openAnswers = {path("record.txt")};
    program.commands().clickMenu("menuOpen");
    ASSERT_EQ(fp.messages.shown.size(), 2u);
    platform::Message told = fp.messages.shown[1];
    EXPECT_EQ(std::tuple(told.text, told.details.find("Record > Trend…") != told.details.npos),
              std::tuple(path("record.txt") + " 文件格式不正确", true));
    std::ofstream(path("short.txt"), std::ios::binary) << "QVDATALINK47 V1.0\r\n2026-12-07\r\n";
    fp.files.openAnswers = {path("short.txt")};
    program.commands().clickMenu("menuOpen");
    ASSERT_EQ(fp.messages.shown.size(), 3u);
    EXPECT_EQ(fp.messages.shown[2].details, "") << "the header alone makes no record file";

    // The Qt box: centred over the window, the details under the text.
    platform::qt::QtMessageBoxes boxes;
    boxes.setParent(&window);
    QTimer::singleShot(0, &window, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        EXPECT_EQ(box->informativeText().toStdString(), told.details);
        const QPoint off = box->frameGeometry().center() - window.frameGeometry().center();
        EXPECT_LE(off.manhattanLength(), 8);
        box->accept();
    });
    (void)boxes.show(told);
}

// Each dialog offers its own last name, else the last folder chosen, and Qt's form of its filter.
TEST(FileDialogMemory, EachSaveDialogOffersItsOwnLastName) {
    QStringList starts, answers{"/data/trend/run1.png", "/data/logs/bench.txt", ""};
    platform::qt::QtFileDialogs dialogs(
        [&](QWidget *, const QString &start, const QString &filter, bool) {
            starts << start + ">" + filter;
            return answers.takeFirst();
        });
    const std::string trendPng = "PNG(*.png)|*.png", record = files::DmmRecordFile::kFilter;
    EXPECT_EQ(dialogs.saveFile(trendPng), "/data/trend/run1.png");
    EXPECT_EQ(dialogs.saveFile(record), "/data/logs/bench.txt");
    EXPECT_EQ(dialogs.saveFile(trendPng), std::nullopt) << "cancelled";
    EXPECT_EQ(
        starts.join(QLatin1Char('|')).toStdString(),
        ">PNG(*.png)|/data/trend>DMM文档文件(*.txt);;所有文件(*)|/data/trend/run1.png>PNG(*.png)");
}

} // namespace
} // namespace qv::app::qt
