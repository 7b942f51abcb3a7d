#include "trend/Decimation.h"
#include "trend/LogImport.h"
#include "trend/TrendModel.h"
#include "trend/TrendText.h"
#include "trend/TrendView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

namespace qv::trend {
namespace {

// Readings as the meter shows them become points, a reading without a number a gap (never a
// zero; the reading parser's own cases are in the DMM tests).
TEST(TrendModel, ReadingsBecomePointsOrGapsAndUnitChangesStartSeries) {
    TrendModel m;
    int changes = 0;
    m.changed = [&] { ++changes; };
    m.add(9, " OL.   V  DC"); // nothing to break yet
    m.add(10, " 3.300 V  DC     ");
    m.add(11, " OL.   V  DC");
    m.add(12, "                "); // one gap stands for the run
    m.add(13, " 3.400 V  DC");
    m.add(14, " 125.0 mV DC");
    m.add(13.5, " 3.500 V  DC"); // back to volts, stamped early
    ASSERT_EQ(m.series().size(), 3u);
    EXPECT_EQ(m.units(), (std::vector<std::string>{"V  DC", "mV DC"}));
    EXPECT_EQ(m.series()[2].points[0].t, 14) << "time never goes back";
    EXPECT_EQ(std::tuple(m.series()[0].points[0].v, m.series()[2].points[0].v),
              std::tuple(3.3, 3.5));
    EXPECT_EQ(std::tuple(m.newestUnit(), m.series()[0].points.size(),
                         m.series()[0].points[1].isGap(), m.pointCount(), changes, m.timeSpan().lo,
                         m.timeSpan().hi),
              std::tuple("V  DC", 3u, true, 5u, 5, 10.0, 14.0));

    EXPECT_EQ(std::tuple(m.wholeRun("V  DC").count, m.within("V  DC", {12, 14}).count,
                         m.wholeRun("mV DC").count),
              std::tuple(3u, 2u, 1u));
    m.clear();
    EXPECT_EQ(std::tuple(m.pointCount(), m.wholeRun("V  DC").count), std::tuple(0u, 0u));
}

TEST(Statistics, HandComputedValues) {
    // 2, 4, 4, 4, 5, 5, 7, 9: mean 5, squared deviations 32, sample variance 32 / 7.
    const std::vector<Point> points{{10, 2}, {11, 4}, {12, kGap}, {13, 4}, {14, 4},
                                    {15, 5}, {16, 5}, {17, 9},    {18, 7}, {19, 2}};
    const Statistics s = statistics(std::span(points).first(9));
    EXPECT_NEAR(s.stddev, std::sqrt(32.0 / 7.0), 1e-12);
    EXPECT_EQ(std::tuple(s.count, s.mean, s.min, s.minTime, s.max, s.maxTime, s.last, s.lastTime),
              std::tuple(8u, 5, 2, 10, 9, 17, 7, 18));
    EXPECT_EQ(statistics(points).minTime, 10) << "a tie keeps the first time";
    EXPECT_EQ(statistics(std::span(points).first(1)).stddev, 0);

    // The same readings far from zero lose no precision.
    std::vector<Point> offset = points;
    for (Point &p : offset)
        p.v += 1e9;
    EXPECT_NEAR(statistics(std::span(offset).first(9)).stddev, std::sqrt(32.0 / 7.0), 1e-6);

    Accumulator first, second;
    for (std::size_t i = 0; i < 9; ++i)
        (i < 5 ? first : second).add(points[i]);
    first.merge(second);
    EXPECT_NEAR(first.result().stddev, s.stddev, 1e-12);
    EXPECT_EQ(first.result().last, 7);
}

TEST(Decimation, KeepsEachColumnsExtremesAndGaps) {
    std::vector<Point> points;
    for (int i = 0; i < 100000; ++i)
        points.push_back({i * 0.4, 1.0 + 0.001 * (i % 7)});
    points[54321].v = 25.0; // one spike up
    points[77777].v = -3.0; // one down
    points[11111].v = kGap;
    const std::vector<Point> drawn = decimate(points, {0, 99999 * 0.4}, 800);
    EXPECT_LE(drawn.size(), 2u * 800 + 3) << "two per column, three more around the gap";
    EXPECT_TRUE(std::ranges::count(drawn, 25.0, &Point::v) &&
                std::ranges::count(drawn, -3.0, &Point::v));
    EXPECT_TRUE(std::ranges::any_of(drawn, &Point::isGap));
    EXPECT_TRUE(std::ranges::is_sorted(drawn, {}, &Point::t));

    // A window inside the run: the neighbours outside it carry the line to the edges.
    const std::vector<Point> window = decimate(points, {100.2, 104.2}, 800);
    ASSERT_EQ(window.size(), 12u);
    EXPECT_DOUBLE_EQ(window.front().t, 100.0);
    EXPECT_DOUBLE_EQ(window.back().t, 104.4);

    // Four columns of two seconds: each keeps its extremes in time order, a flat one a single
    // point, gaps one; the neighbours outside come along.
    std::vector<Point> few;
    for (int t = 0; t < 20; ++t)
        few.push_back({double(t), 100.0 + t});
    const double values[] = {9, 1, 4, 4, 2, 7, kGap, kGap, 3};
    for (int t = 10; t <= 18; ++t)
        few[t].v = values[t - 10];
    std::ostringstream kept;
    for (const Point &p : decimate(few, {10, 18}, 4))
        (p.isGap() ? kept << p.t : kept << p.t << ':' << p.v) << ' ';
    EXPECT_EQ(kept.str(), "9:109 10:9 11:1 12:4 14:2 15:7 16 18:3 19:119 ");

    const auto range = valueRange(drawn);
    ASSERT_TRUE(range);
    EXPECT_DOUBLE_EQ(range->lo, -3.0 - 1.4);
    EXPECT_DOUBLE_EQ(range->hi, 25.0 + 1.4);
    const std::vector<Point> flat{{0, 2.0}, {1, 2.0}};
    EXPECT_DOUBLE_EQ(valueRange(flat)->hi, 2.02);
    EXPECT_FALSE(valueRange(std::vector<Point>{{0, kGap}}));
}

TEST(TrendView, WholeRunFollowZoomAndPan) {
    TrendView view;
    const Range data{1000, 4600};
    EXPECT_EQ(view.time(data).lo, 1000);
    EXPECT_EQ(std::pair(view.time({500, 500}).lo, view.time({500, 500}).hi), std::pair(470., 530.))
        << "one reading sits in a minute";
    EXPECT_EQ(view.time({500, 501}).lo, 500) << "a second is shown as it is";

    view.zoom(0.5, 2000, data); // following: the newest reading stays at the right
    view.setFollow(false);
    EXPECT_EQ(std::pair(view.time(data).lo, view.time(data).hi), std::pair(2800., 4600.));
    view.setFollow(true);
    EXPECT_EQ(view.time({1000, 5000}).lo, 3200) << "the window slides with new readings";

    view.pan(-600, {1000, 5000});
    EXPECT_FALSE(view.follow());
    EXPECT_EQ(view.time({1000, 9000}).lo, 2600) << "a panned window stays put";
    view.zoom(0.5, 3500, data); // not following: the time under the pointer stays
    EXPECT_EQ(std::pair(view.time(data).lo, view.time(data).hi), std::pair(3050.0, 3950.0));
    view.zoom(1e-9, 3500, data); // at most a hundredth of the span at a time
    EXPECT_EQ(std::pair(view.time(data).lo, view.time(data).hi), std::pair(3495.5, 3504.5));
    view.zoom(0.01, 3500, data);
    EXPECT_EQ(std::pair(view.time(data).lo, view.time(data).hi), std::pair(3499.5, 3500.5));

    view.reset();
    EXPECT_TRUE(view.follow() && view.showsAll());
    EXPECT_EQ(view.time(data).hi, 4600);
}

TEST(TrendText, ValuesCsvAndTimeLabels) {
    EXPECT_EQ(valueText(-1234567.0), "-1.23457e+06");
    const std::vector<Point> points{{1, 3.3}, {2, kGap}, {3, -0.125}};
    const std::string csv =
        pointsCsv(points, "V, DC", [](double t) { return std::to_string(int(t)) + "s"; });
    EXPECT_EQ(csv,
              "time,value,unit\r\n1s,3.3,\"V, DC\"\r\n2s,,\"V, DC\"\r\n3s,-0.125,\"V, DC\"\r\n");
    EXPECT_EQ(std::string(timeLabelFormat(29.9)) + timeLabelFormat(30) + timeLabelFormat(86400) +
                  timeLabelFormat(86400.5),
              "HH:mm:ss.zHH:mm:ssHH:mm:ssMM-dd HH:mm");
}

TEST(LogImport, TimesOfDay) {
    // The seconds of the day; -1: not a time.
    const std::pair<const char *, double> cases[] = {
        {"14:03:27", 50607},    {"9:05:00", 32700}, {" 00:00:00 ", 0},
        {"2:03:27 PM", 50607},  {"12:00:01 AM", 1}, {"下午2:03:27", 50607},
        {"上午12:30:00", 1800}, {"24:00:00", -1},   {"14:60:00", -1},
        {"14:03", -1},          {"1:2:3:4", -1},    {"13:00:00 PM", -1},
        {"No.5", -1},           {"", -1},           {"123:00:00", -1},
    };
    for (const auto &[text, seconds] : cases)
        EXPECT_EQ(secondsOfDay(text).value_or(-1), seconds) << text;
}

TEST(LogImport, LinesPlacedBeforeTheirEndAcrossMidnight) {
    const std::string log = "  23:59:58    3.301  V  DC     \r\n"
                            "  No.5 :   3.300 V  DC     \r\n" // play-back: no time
                            "  23:59:59     OL.   V  DC     \r\n"
                            "garbage\r\n"
                            "  00:00:01    3.305  V  DC     \r\n"
                            "  00:00:02    125.0  mV DC";
    constexpr double kDayStart = 1796601600; // 2026-12-07 00:00 UTC
    TrendModel m;
    // Saved at 00:10 on the 7th: the first line was on the 6th.
    EXPECT_EQ(importLog(log, {kDayStart + 600, kDayStart}, m), 4u);
    ASSERT_EQ(m.series().size(), 2u);
    const auto &volts = m.series()[0].points;
    ASSERT_EQ(volts.size(), 3u);
    EXPECT_EQ(std::tuple(volts[0].t, volts[1].isGap(), volts[2].t, m.series()[1].points[0].t),
              std::tuple(kDayStart - 2, true, kDayStart + 1, kDayStart + 2));
    EXPECT_DOUBLE_EQ(volts[2].v, 3.305);

    // Saved a second before the last line's time of day: the log ended the day before.
    TrendModel earlier;
    (void)importLog(log, {kDayStart + 1, kDayStart}, earlier);
    EXPECT_EQ(earlier.series()[1].points[0].t, kDayStart + 2 - 86400);
}

TEST(LogImport, RecordFileSplitsIntoHeaderAndLog) {
    const auto record =
        splitRecordFile("QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\n"
                        "QM520V DMM Record: bench\r\n\r\n  14:00:00  3.301 V\r\n\r\n");
    ASSERT_TRUE(record);
    EXPECT_EQ(std::tuple(record->savedDate, record->savedTime, record->log),
              std::tuple("2026-12-07", "14:03:27", "  14:00:00  3.301 V\r\n\r\n"));
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V1.0\r\n2026-12-07\r\n"));
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V2.0\r\n1\r\n2\r\n3\r\n\r\n"));
}

} // namespace
} // namespace qv::trend
