#include "trend/qt/TrendWindow.h"
#include "platform/qt/services/QtWindowPlaces.h"
#include "tests/TestFiles.h"
#include "tests/app/WindowFixture.h"

#include <QAbstractButton>
#include <QChartView>
#include <QLabel>
#include <QTest>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace qv::trend::qt {
namespace {

using test::contents;

/// The program's window on a fake port (a meter on port 1), the trend opened by its menu item.
struct TrendWindowTest : app::qt::WindowFixture {
    platform::qt::QtWindowPlaces places{QString::fromStdString(path("settings.ini"))};
    TrendWindow *trend = nullptr;
    static constexpr double kStart = 1796652207;

    void SetUp() override {
        fp.port.ports[1].cable = true;
        program.Form_Load();
        window.setWindowPlaces(&places); // a scratch file, never the user's settings
        window.show();
        window.action("mnuTrend")->trigger();
        trend = window.trendWindow();
    }
    void TearDown() override { trend->close(); } // its place is saved while `places` lives
    /// A live DMM packet of model 6 with these display characters at kStart + at; its events run.
    void send(const std::string &text, double at) {
        fp.clock.seconds = kStart + at;
        fp.port.deliver(test::dmmPacket(text));
        QApplication::processEvents();
    }
    std::string label(int row, int column) const {
        return trend->statisticsLabel(row, column)->text().toStdString();
    }
    static std::string clock(double at) {
        return QDateTime::fromSecsSinceEpoch(qint64(kStart + at)).time().toString().toStdString();
    }
};

TEST_F(TrendWindowTest, LiveReadingsFromThePortFillTheChartAndStatistics) {
    ASSERT_TRUE(trend && trend->isVisible() && !trend->isModal());
    int at = 0;
    for (const char *r :
         {" 1.000 V  DC", " 2.000 V  DC", " OL.   V  DC", " 4.000 V  DC", " 3.000 V  DC"})
        send(r, at++);
    EXPECT_EQ(std::tuple(trend->shownReadings(), trend->drawnPoints()), std::tuple(5u, 5u))
        << "four readings and a gap";
    std::string shown; // two rows of count, min, max, mean, deviation, last
    for (int cell = 0; cell < 12; ++cell)
        shown += label(cell / 6, cell % 6) + "|";
    const std::string row =
        "4|1.000\n" + clock(0) + "|4.000\n" + clock(3) + "|2.5000|1.2910|3.000\n" + clock(4) + "|";
    EXPECT_EQ(shown, row + row);
    const QList<QLabel *> labels = trend->findChildren<QLabel *>();
    EXPECT_EQ(std::ranges::count(labels, QStringLiteral("V DC"), &QLabel::text), 1)
        << "the unit, once, in the table's corner";
    EXPECT_EQ(trend->pointTip(0.76).toStdString(), clock(3) + "  4.000 V DC") << "3 s of 4";

    // While acquisition is stopped the trend stands still, like the digits.
    program.commands().clickMenu("mnuPause");
    send(" 9.000 V  DC", 5);
    EXPECT_EQ(label(1, 0), "4");
    program.commands().clickMenu("mnuStart");
    // Another unit starts a series of its own, shown on its own scale.
    send(" 125.0 mV DC", 6);
    EXPECT_EQ(label(1, 0) + "|" + label(1, 5), "1|125.0\n" + clock(6));

    // Closing the trend only hides it; it keeps collecting and shows it all when reopened.
    trend->close();
    EXPECT_FALSE(trend->isVisible());
    send(" 126.0 mV DC", 7);
    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(trend->isVisible(), label(1, 0)), std::tuple(true, "2"));

    // Reset asks first (Cancel keeps the run); an empty run is reset without a question.
    fp.messages.answers = {platform::Answer::Cancel, platform::Answer::Ok};
    std::string counts;
    for (int k = 0; k < 3; ++k)
        trend->resetRun(), counts += label(1, 0);
    const auto &asked = fp.messages.shown;
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(std::tuple(counts, asked[0].text, asked[0].buttons, asked[1].text),
              std::tuple("200", "清除趋势中的 6 个读数?", platform::Buttons::OkCancel,
                         "清除趋势中的 6 个读数?"));

    // The window speaks the program's language.
    QStringList texts{trend->windowTitle()};
    for (const QAbstractButton *b : trend->findChildren<QAbstractButton *>())
        if (!b->text().isEmpty()) // the tool bar's extension button has none
            texts << b->text();
    EXPECT_EQ(texts.join(QLatin1Char('|')).toStdString(),
              "趋势 - QVLINK|实时|记录窗口|打开文件…|跟随|清除|导出");
}

TEST_F(TrendWindowTest, TimeMarksFallOnRoundClockTimes) {
    for (int i = 0; i <= 385; i += 5)
        send(" 1.000 V  DC", i);
    trend->refresh();
    QStringList minutes; // 14:03:27 to 14:09:52: every minute from 14:04
    for (int m = 33; m <= 333; m += 60)
        minutes << QString::fromStdString(clock(m)).left(5);
    EXPECT_EQ(trend->timeLabels(), minutes);
}

TEST_F(TrendWindowTest, TheValueAxisKeepsItsScaleWhileTheShownReadingsFillHalfOfIt) {
    for (const char *r : {" 0.200 V  DC", " 9.800 V  DC", " 4.200 V  DC", " 9.600 V  DC"})
        send(r, trend->shownReadings()), trend->refresh(); // one a second
    const auto *axis = qobject_cast<QValueAxis *>(
        trend->findChild<QChartView *>()->chart()->axes(Qt::Vertical).front());
    const auto scale = [axis] { return std::pair(axis->min(), axis->max()); };
    const double whole = axis->max() - axis->min();
    EXPECT_TRUE(axis->min() <= 0.2 && axis->max() >= 9.8);
    trend->zoom(0.7, 1), trend->refresh(); // 9.8, 4.2 and 9.6 V: less than half of the scale
    EXPECT_LE(axis->max() - axis->min(), whole / 2);
    const auto zoomed = scale();
    trend->zoom(0.5, 1), trend->refresh(); // 4.2 and 9.6 V: still more than half of it
    ASSERT_EQ(trend->shownReadings(), 2u);
    EXPECT_EQ(scale(), zoomed);
}

TEST_F(TrendWindowTest, RecordLogAndRecordFilesOpenIntoTheTrend) {
    el.RichTextBox1.setText("  14:03:20    1.000  V  DC     \r\n"
                            "  14:03:21    3.000  V  DC     \r\n");
    trend->openRecordLog();
    EXPECT_EQ(std::tuple(trend->shownReadings(), label(1, 3)), std::tuple(2u, "2.0000"));
    send(" 7.000 V  DC", 0); // live readings do not mix into an opened log
    EXPECT_EQ(label(1, 0), "2");
    trend->showLive();
    EXPECT_EQ(label(1, 0), "1");

    el.RichTextBox1.setText(""), trend->openRecordLog();
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "记录窗口 中没有带时间的读数。");

    const std::string date =
        QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat).toStdString();
    std::ofstream(path("record.txt"), std::ios::binary)
        << "QVDATALINK47 V1.0\r\n"
        << date << "\r\n14:03:27\r\nQM520V DMM Record: \r\n\r\n"
        << "  23:59:59    1.000  V  DC     \r\n  00:00:01    3.000  V  DC     \r\n\r\n";
    fp.files.openAnswers = {path("record.txt"), path("missing.txt")};
    trend->openRecordFile();
    // The second line is on the day of saving, the first on the day before.
    const QDateTime first(QDate(2026, 12, 6), QTime(23, 59, 59));
    EXPECT_EQ(std::tuple(trend->shownReadings(), trend->shownTime().lo, label(1, 1)),
              std::tuple(2u, static_cast<double>(first.toSecsSinceEpoch()), "1.000\n23:59:59"));
    trend->openRecordFile();
    EXPECT_EQ(std::tuple(fp.messages.shown.size(), fp.messages.shown.back().text,
                         trend->shownReadings()), // a failed open keeps what is shown
              std::tuple(2u, "missing.txt 无法读取。", 2u));

    // A Record CSV export, with a play-back line that has no time.
    std::ofstream(path("record.csv"), std::ios::binary)
        << "time,value,unit,text\r\n23:59:58,5,V  DC,\" 5.000V  DC     \"\r\n"
        << "No.5,2,V  DC,\" 2.000V  DC     \"\r\n";
    fp.files.openAnswers = {path("record.csv")};
    trend->openRecordFile();
    EXPECT_EQ(std::tuple(trend->shownReadings(), label(1, 1)), std::tuple(1u, "5.000\n23:59:58"));
}

// The picture stands alone: a title (model, unit, date and time range) and the statistics.
TEST_F(TrendWindowTest, ExportsPictureAndPoints) {
    send(" 1.000 V  DC", 0), send(" 2.500 V  DC", 1);
    fp.files.saveAnswers = {path("trend"), path("trend.svg"), path("points.csv")};
    trend->exportPicture(false), trend->exportPicture(true), trend->exportPoints();
    EXPECT_GT(QImage(QString::fromStdString(path("trend.png"))).height(),
              trend->findChild<QChartView *>()->height() + 40); // title, chart, statistics
    const std::string svg = contents(path("trend.svg"));
    const QString day = QDateTime::fromSecsSinceEpoch(qint64(kStart)).toString("yyyy-MM-dd ");
    const std::string title = "QM520V   V DC   " + day.toStdString() + clock(0) + " – " + clock(1);
    EXPECT_EQ(trend->pictureTitle().toStdString(), title);
    for (const std::string &text : {title, std::string("2.500"), std::string("1.7500")})
        EXPECT_NE(svg.find(">" + text + "</text>"), std::string::npos) << text;
    const std::string csv = contents(path("points.csv"));
    EXPECT_NE(csv.find(",1.000,V DC\r\n"), std::string::npos) << csv;

    // An existing file is replaced only when the user agrees.
    fp.files.saveAnswers = {path("points.csv")}, fp.messages.answers = {platform::Answer::Cancel};
    send(" 3.000 V  DC", 2);
    trend->exportPoints();
    EXPECT_EQ(contents(path("points.csv")), csv);
}

TEST_F(TrendWindowTest, OpensBesideTheMainWindowAndWhereItWasLeft) {
    const QRect main = window.frameGeometry(), trendFrame = trend->frameGeometry();
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(trendFrame)) << trendFrame.x() << "," << trendFrame.width();
    EXPECT_FALSE(trendFrame.intersects(main)) << "below it here (the right has no room)";

    const QRect left(300, 300, 400, 300);
    trend->setGeometry(left), trend->close();
    app::qt::MainWindow next{program};
    next.setWindowPlaces(&places), next.show();
    next.action("mnuTrend")->trigger();
    EXPECT_EQ(next.trendWindow()->geometry(), left);
}

} // namespace
} // namespace qv::trend::qt
