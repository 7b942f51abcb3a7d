#include "trend/Decimation.h"
#include "trend/LogImport.h"
#include "trend/TimeTicks.h"
#include "trend/TrendPlacement.h"
#include "trend/TrendText.h"
#include "trend/TrendView.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qv::trend {
namespace {

// A reading without a number is a gap, never a zero (the reading parser's cases: DMM tests).
TEST(TrendModel, ReadingsBecomePointsOrGapsAndUnitChangesStartSeries) {
    TrendModel m;
    int changes = 0;
    m.changed = [&] { ++changes; };
    m.add(9, " OL.   V  DC"), m.add(10, " 3.300 V  DC     "); // nothing to break yet
    m.add(11, " OL.   V  DC"), m.add(12, "                "); // one gap stands for the run
    m.add(13, " 3.400 V  DC"), m.add(14, " 125.0 mV DC");
    m.add(13.5, " 3.500 V  DC"); // back to volts, stamped early
    ASSERT_EQ(m.series().size(), 3u);
    EXPECT_EQ(m.units(), (std::vector<std::string>{"V DC", "mV DC"})) << "single blanks";
    EXPECT_EQ(std::tuple(m.series()[0].points[0].v, m.series()[2].points[0].v,
                         m.series()[2].points[0].t), // time never goes back
              std::tuple(3.3, 3.5, 14));
    EXPECT_EQ(std::tuple(m.newestUnit(), m.series()[0].points.size(),
                         m.series()[0].points[1].isGap(), m.pointCount(), changes, m.timeSpan().lo,
                         m.timeSpan().hi),
              std::tuple("V DC", 3u, true, 5u, 5, 10.0, 14.0));
    EXPECT_EQ(std::tuple(m.readingCount(), m.wholeRun("V DC").count,
                         m.within("V DC", {12, 14}).count, m.wholeRun("mV DC").decimals),
              std::tuple(4u, 3u, 2u, 1))
        << "each reading keeps the digits the meter showed";
    m.clear();
    EXPECT_EQ(std::tuple(m.pointCount(), m.readingCount(), m.wholeRun("V DC").count),
              std::tuple(0u, 0u, 0u));
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

    // Merged: a tie keeps the first time of 2 (-2); each extreme the digits (index) of its own.
    for (const double sign : {1.0, -1.0}) {
        Accumulator first, second;
        for (std::size_t i = 0; i < points.size(); ++i)
            (i < 5 ? first : second).add({points[i].t, points[i].v * sign, int(i)});
        first.merge(second), first.merge(Accumulator{}); // and then nothing
        const Statistics r = first.result();
        EXPECT_NEAR(r.stddev, statistics(points).stddev, 1e-12);
        EXPECT_EQ(std::tuple(r.minTime + r.maxTime, r.last, r.lastTime), // the extremes at 10, 17
                  std::tuple(27, 2 * sign, 19));
        EXPECT_EQ(std::tuple(r.minDecimals, r.maxDecimals, r.lastDecimals),
                  std::tuple(sign > 0 ? 0 : 7, sign > 0 ? 7 : 0, 9));
    }
}

TEST(Decimation, KeepsEachColumnsExtremesAndGaps) {
    std::vector<Point> points;
    for (int i = 0; i < 100000; ++i)
        points.push_back({i * 0.4, 1.0 + 0.001 * (i % 7)});
    points[54321].v = 25.0, points[77777].v = -3.0, points[11111].v = kGap; // up, down, a gap
    const std::vector<Point> drawn = decimate(points, {0, 99999 * 0.4}, 800);
    EXPECT_LE(drawn.size(), 2u * 800 + 3) << "two per column, three more around the gap";
    EXPECT_TRUE(
        std::ranges::count(drawn, 25.0, &Point::v) && std::ranges::count(drawn, -3.0, &Point::v) &&
        std::ranges::any_of(drawn, &Point::isGap) && std::ranges::is_sorted(drawn, {}, &Point::t));

    // A window inside the run: the neighbours outside it carry the line to the edges.
    const std::vector<Point> window = decimate(points, {100.2, 104.2}, 800);
    ASSERT_EQ(window.size(), 12u);
    EXPECT_EQ(std::pair(window.front().t, window.back().t), std::pair(100.0, 104.4));

    // Four two-second columns: extremes in time order, a flat one a point, gaps one, neighbours.
    const double values[] = {9, 1, 4, 4, 2, 7, kGap, kGap, 3}; // at 10..18
    std::vector<Point> few;
    for (int t = 0; t < 20; ++t)
        few.push_back({double(t), t >= 10 && t <= 18 ? values[t - 10] : 100.0 + t});
    std::ostringstream kept;
    for (const Point &p : decimate(few, {10, 18}, 4))
        (p.isGap() ? kept << p.t : kept << p.t << ':' << p.v) << ' ';
    EXPECT_EQ(kept.str(), "9:109 10:9 11:1 12:4 14:2 15:7 16 18:3 19:119 ");
    const std::vector<Point> twoGaps{{0, kGap}, {1, 5}, {2, 6}, {3, kGap}, {4, 5}, {5, 6}};
    EXPECT_EQ(decimate(twoGaps, {0, 5}, 2).size(), 6u) << "a gap in each of two columns";

    const auto range = valueRange(drawn);
    ASSERT_TRUE(range);
    EXPECT_EQ(std::pair(range->lo, range->hi), std::pair(-3.0 - 1.4, 25.0 + 1.4));
    EXPECT_DOUBLE_EQ(valueRange(std::vector<Point>{{0, 2.0}, {1, 2.0}})->hi, 2.02); // flat
    EXPECT_FALSE(valueRange(std::vector<Point>{{0, kGap}}));
}

TEST(TrendView, WholeRunFollowZoomAndPan) {
    TrendView view;
    const Range data{1000, 4600};
    // One reading sits in a minute; a second is shown as it is.
    EXPECT_EQ(std::tuple(view.time(data).lo, view.time({500, 500}).lo, view.time({500, 500}).hi,
                         view.time({500, 501}).lo),
              std::tuple(1000, 470, 530, 500));

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
    EXPECT_TRUE(view.follow() && view.showsAll() && view.time(data).hi == 4600);
}

TEST(TrendText, NumbersAsTheMeterShowedThem) {
    EXPECT_EQ(std::tuple(valueText(1.3, 3), valueText(-0.0125, 5), valueText(2.5, 0),
                         valueText(-1234567.0)),
              std::tuple("1.300", "-0.01250", "2", "-1.23457e+06"));
    EXPECT_EQ(std::tuple(decimalsOf("-1.300"), decimalsOf(" 125.0"), decimalsOf("  42  "),
                         decimalsOf(" OL.  "), decimalsOf(" 1 .25")),
              std::tuple(3, 1, 0, -1, 2));
    EXPECT_EQ(std::tuple(singleBlanks("V  DC"), singleBlanks("M ohm  "), singleBlanks("")),
              std::tuple("V DC", "M ohm", ""));
    const std::vector<Point> points{{1, 1.3, 3}, {2, kGap}, {3, -0.125}};
    EXPECT_EQ(pointsCsv(points, "V, DC", [](double t) { return std::to_string(int(t)) + "s"; }),
              "time,value,unit\r\n1s,1.300,\"V, DC\"\r\n2s,,\"V, DC\"\r\n3s,-0.125,\"V, DC\"\r\n");
}

TEST(TimeTicks, RoundTimesAndShortLabels) {
    constexpr double T = 1796652000; // 2026-12-07 14:00:00 UTC, a Monday
    constexpr double h = 3600, day = 86400;
    const std::tuple<double, double, double, const char *> cases[] = {
        {T + 50.3, T + 53.1, 0,
         "14:00:50.5|14:00:51.0|14:00:51.5|14:00:52.0|14:00:52.5|14:00:53.0"},
        {T + 3, T + 23, 0, "14:00:05|14:00:10|14:00:15|14:00:20"},
        {T, T + 385, 0, "14:00|14:01|14:02|14:03|14:04|14:05|14:06"},
        {T, T + 2 * h, h, "15:00|15:30|16:00|16:30|17:00"}, // local time one hour ahead
        {-3 * h - 30, -3 * h + 325, 0, "21:00|21:01|21:02|21:03|21:04|21:05"}, // 1969-12-31
        {T + 9 * h, T + 9 * h + 2 * day, 0,
         "12-08 00:00|12-08 06:00|12-08 12:00|12-08 18:00|12-09 00:00|12-09 06:00|12-09 "
         "12:00|12-09 18:00"},
        {T, T + 60 * day, 0,
         "2026-12-14|2026-12-21|2026-12-28|2027-01-04|2027-01-11|2027-01-18|2027-01-25|2027-02-"
         "01"},
    };
    for (const auto &[lo, hi, offset, labels] : cases) {
        std::string shown;
        const std::vector<TimeTick> ticks = timeTicks({lo, hi}, offset);
        for (const TimeTick &tick : ticks)
            shown += (shown.empty() ? "" : "|") + tick.label;
        EXPECT_EQ(shown, labels);
        EXPECT_TRUE(!ticks.empty() && ticks.front().t >= lo && ticks.back().t <= hi) << labels;
    }
    EXPECT_TRUE(timeTicks({T, T}, 0).empty());
    // Each step of the scale in turn gives eight marks a step apart, at a Monday that all divide.
    const double steps[] = {0.1,     0.2,     0.5,      1,        2,        5,        10,
                            15,      30,      60,       120,      300,      600,      900,
                            1800,    h,       2 * h,    3 * h,    6 * h,    12 * h,   day,
                            2 * day, 7 * day, 14 * day, 28 * day, 56 * day, 112 * day};
    const double monday = 4 * day + 150 * 112 * day;
    for (const double step : steps) {
        const std::vector<TimeTick> ticks = timeTicks({monday + 0.6 * step, monday + 8 * step}, 0);
        ASSERT_EQ(ticks.size(), 8u) << step;
        EXPECT_NEAR(ticks[0].t, monday + step, 1e-3) << step;
        EXPECT_NEAR(ticks[1].t - ticks[0].t, step, 1e-3) << step;
    }
}

TEST(TrendPlacement, BesideTheMainWindowNeverHidingIt) {
    const WindowPlace wide{0, 0, 1920, 1080}, xvfb{0, 0, 1280, 1024}, doubled{0, 0, 640, 512};
    const std::tuple<WindowPlace, WindowPlace, WindowPlace> cases[] = {
        {{100, 100, 609, 440}, wide, {709, 100, 760, 520}},        // right
        {{0, 0, 609, 440}, xvfb, {609, 0, 671, 520}},              // right, a little narrower
        {{600, 24, 609, 440}, xvfb, {520, 464, 760, 520}},         // below
        {{655, 320, 609, 440}, wide, {1264, 320, 656, 520}},       // right, narrower still
        {{0, 0, 609, 440}, {0, 0, 1024, 768}, {0, 440, 760, 328}}, // below, lower
        {{0, 0, 609, 440}, {0, 0, 900, 680}, {0, 440, 760, 240}},  // below, at its least
        {{0, 0, 609, 440}, {0, 0, 640, 1024}, {0, 440, 640, 520}}, // below, the screen's width
        {{0, 0, 609, 440}, doubled, {304, 0, 336, 512}},           // over the digits and the log
        {{300, 0, 609, 440}, doubled, {0, 0, 604, 512}},           // left of them
        {{0, 0, 609, 440}, {0, 0, 989, 700}, {609, 0, 380, 520}},  // right and below hold as much
    };
    for (const auto &[main, screen, expected] : cases)
        EXPECT_EQ(besideMain(main, screen, 760, 520), expected) << main.x << "," << screen.width;
    EXPECT_EQ(besideMain({0, 0, 609, 440}, {0, 0, 1209, 1024}, 760, 520, 600),
              (WindowPlace{609, 0, 600, 520})) // three quarters of the width, its least
        << "right, though below has room for all of it";

    // Where it was left, where it goes: none where it would hide more than half the main window.
    const std::pair<WindowPlace, std::optional<WindowPlace>> left[] = {
        {{2000, 100, 760, 520}, WindowPlace{520, 100, 760, 520}}, // moved onto the screen
        {{700, 0, 1400, 1200}, std::nullopt},                     // as large as the screen
        {{0, 220, 609, 440}, WindowPlace{0, 220, 609, 440}},      // half of it
        {{0, 219, 609, 440}, std::nullopt},
    };
    for (const auto &[place, expected] : left)
        EXPECT_EQ(remembered(place, {0, 0, 609, 440}, xvfb), expected) << place.x << "," << place.y;
}

TEST(LogImport, TimesOfDayLinesAcrossMidnightAndRecordFiles) {
    // The seconds of the day; -1: not a time.
    // clang-format off
    const std::pair<const char *, double> cases[] = {
        {"14:03:27", 50607},    {" 9:05:00", 32700}, {" 00:00:00 ", 0},
        {"2:03:27 PM", 50607},  {"12:00:01 AM", 1}, {"下午2:03:27", 50607},
        {"上午12:30:00", 1800}, {"24:00:00", -1},   {"14:60:00", -1},
        {"14:03", -1},          {"1:2:3:4", -1},    {"13:00:00 PM", -1},
        {"No.5", -1},           {"", -1},           {"123:00:00", -1},
        {"14:03:60", -1},       {"14:003:27", -1},  {"14::27", -1},
        {"1:00:00 PM", 46800},  {"AM 9:05:00", 32700}, {"下午 2:03:27", 50607},
    };
    // clang-format on
    for (const auto &[text, seconds] : cases)
        EXPECT_EQ(secondsOfDay(text).value_or(-1), seconds) << text;

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
    EXPECT_EQ(
        std::tuple(volts[0].t, volts[1].isGap(), volts[2].t, volts[2].v, m.series()[1].points[0].t),
        std::tuple(kDayStart - 2, true, kDayStart + 1, 3.305, kDayStart + 2));

    // Saved at the last line's time of day: that day; a second before it: the day before.
    for (const double saved : {2.0, 1.0}) {
        TrendModel earlier;
        (void)importLog(log, {kDayStart + saved, kDayStart}, earlier);
        EXPECT_EQ(earlier.series()[1].points[0].t, kDayStart + 2 - (saved < 2 ? 86400 : 0));
    }

    const auto record =
        splitRecordFile("QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\n"
                        "QM520V DMM Record: bench\r\n\r\n  14:00:00  3.301 V\r\n\r\n");
    ASSERT_TRUE(record);
    EXPECT_EQ(std::tuple(record->savedDate, record->savedTime, record->log, record->model),
              std::tuple("2026-12-07", "14:03:27", "  14:00:00  3.301 V\r\n\r\n", "QM520V"));
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V1.0\r\n2026-12-07\r\n"));
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V2.0\r\n1\r\n2\r\n3\r\n\r\n"));
}

} // namespace
} // namespace qv::trend
