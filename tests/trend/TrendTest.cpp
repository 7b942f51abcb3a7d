#include "trend/Decimation.h"
#include "trend/TrendModel.h"
#include "trend/TrendText.h"
#include "trend/TrendView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

namespace qv::trend {
namespace {

// Readings as the meter shows them: six value characters, ten unit characters.
TEST(TrendModel, ReadingsBecomePointsOrGaps) {
    // clang-format off
    const std::tuple<const char *, std::optional<double>, const char *> cases[] = {
        {" 3.301 V  DC     ", 3.301, "V  DC"}, {"-0.125 V  DC", -0.125, "V  DC"},
        {" 125.3 mV AC", 125.3, "mV AC"},      {"-  .05 mV AC", -0.05, "mV AC"},
        {" 4.702 kOhm", 4.702, "kOhm"},        {"+19.80 mA DC", 19.8, "mA DC"},
        {" 50.00 Hz", 50.0, "Hz"},             {" 23.5  C  TEMP", 23.5, "C  TEMP"},
        {"  1200 MOhm", 1200, "MOhm"},         {" OL.   MOhm", {}, ""}, {"-OL    V  DC", {}, ""},
        {"                ", {}, ""},          {" 1.2.3 V  DC", {}, ""}};
    // clang-format on
    for (const auto &[text, value, unit] : cases) {
        TrendModel m;
        m.add(1.0, " 1.000 X");
        m.add(2.0, text);
        const Series &last = m.series().back();
        ASSERT_EQ(last.points.back().isGap(), !value) << text << ": a gap, never a zero";
        if (value) {
            EXPECT_EQ(last.unit, unit) << text;
            EXPECT_DOUBLE_EQ(last.points.back().v, *value) << text;
        } else {
            EXPECT_EQ(m.series().size(), 1u) << text << ": a gap starts no series";
        }
    }
}

TEST(TrendModel, UnitChangesStartSeriesAndGapsBreakThem) {
    TrendModel m;
    int changes = 0;
    m.changed = [&] { ++changes; };
    m.add(9, " OL.   V  DC"); // nothing to break yet
    m.add(10, " 3.300 V  DC");
    m.add(11, " OL.   V  DC");
    m.add(12, " OL.   V  DC"); // one gap stands for the run
    m.add(13, " 3.400 V  DC");
    m.add(14, " 125.0 mV DC");
    m.add(13.5, " 3.500 V  DC"); // back to volts, stamped early
    ASSERT_EQ(m.series().size(), 3u);
    EXPECT_EQ(m.units(), (std::vector<std::string>{"V  DC", "mV DC"}));
    EXPECT_EQ(m.series()[2].points[0].t, 14) << "time never goes back";
    EXPECT_EQ(std::tuple(m.newestUnit(), m.series()[0].points.size(),
                         m.series()[0].points[1].isGap(), m.pointCount(), changes, m.timeSpan().lo,
                         m.timeSpan().hi),
              std::tuple("V  DC", 3u, true, 5u, 5, 10.0, 14.0));

    const Statistics volts = m.wholeRun("V  DC");
    EXPECT_EQ(std::tuple(volts.count, m.within("V  DC", {12, 14}).count, m.wholeRun("mV DC").count),
              std::tuple(3u, 2u, 1u));
    EXPECT_DOUBLE_EQ(volts.mean, 3.4);
    EXPECT_DOUBLE_EQ(volts.last, 3.5);
    m.clear();
    EXPECT_EQ(std::tuple(m.pointCount(), m.wholeRun("V  DC").count), std::tuple(0u, 0u));
}

TEST(Statistics, HandComputedValues) {
    // 2, 4, 4, 4, 5, 5, 7, 9: mean 5, squared deviations 32, sample variance 32 / 7.
    const std::vector<Point> points{{10, 2}, {11, 4}, {12, kGap}, {13, 4}, {14, 4},
                                    {15, 5}, {16, 5}, {17, 9},    {18, 7}, {19, 2}};
    const Statistics s = statistics(std::span(points).first(9));
    EXPECT_EQ(s.count, 8u);
    EXPECT_DOUBLE_EQ(s.mean, 5);
    EXPECT_NEAR(s.stddev, std::sqrt(32.0 / 7.0), 1e-12);
    EXPECT_EQ(std::tuple(s.min, s.minTime, s.max, s.maxTime, s.last, s.lastTime),
              std::tuple(2, 10, 9, 17, 7, 18));
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
    const Range all{0, 99999 * 0.4};
    const std::vector<Point> drawn = decimate(points, all, 800);
    EXPECT_LE(drawn.size(), 2u * 800 + 3) << "two per column, three more around the gap";
    const auto has = [&](double v) {
        return std::any_of(drawn.begin(), drawn.end(), [v](const Point &p) { return p.v == v; });
    };
    EXPECT_TRUE(has(25.0) && has(-3.0));
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [](const Point &p) { return p.isGap(); }));
    EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end(),
                               [](const Point &a, const Point &b) { return a.t < b.t; }));

    // A window inside the run: the neighbours outside it carry the line to the edges.
    const std::vector<Point> window = decimate(points, {100.2, 104.2}, 800);
    ASSERT_EQ(window.size(), 12u);
    EXPECT_DOUBLE_EQ(window.front().t, 100.0);
    EXPECT_DOUBLE_EQ(window.back().t, 104.4);

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
    EXPECT_EQ(view.time({500, 500}).lo, 470) << "one reading sits in a minute";

    view.zoom(0.5, 2000, data); // following: the newest reading stays at the right
    EXPECT_EQ(view.time(data).lo, 2800);
    EXPECT_EQ(view.time({1000, 5000}).lo, 3200) << "the window slides with new readings";

    view.pan(-600, {1000, 5000});
    EXPECT_FALSE(view.follow());
    EXPECT_EQ(view.time({1000, 9000}).lo, 2600) << "a panned window stays put";
    view.zoom(0.5, 3500, data); // not following: the time under the pointer stays
    EXPECT_EQ(std::pair(view.time(data).lo, view.time(data).hi), std::pair(3050.0, 3950.0));
    for (int i = 0; i < 3; ++i)
        view.zoom(0.01, 3500, data);
    EXPECT_EQ(view.time(data).span(), TrendView::kMinSpan);

    view.reset();
    EXPECT_TRUE(view.follow() && view.showsAll());
    EXPECT_EQ(view.time(data).hi, 4600);
}

TEST(TrendText, ValuesCsvAndTimeLabels) {
    EXPECT_EQ(valueText(3.30125), "3.30125");
    EXPECT_EQ(valueText(1.0 / 3.0), "0.333333");
    EXPECT_EQ(valueText(-1234567.0), "-1.23457e+06");
    const std::vector<Point> points{{1, 3.3}, {2, kGap}, {3, -0.125}};
    const std::string csv =
        pointsCsv(points, "V, DC", [](double t) { return std::to_string(int(t)) + "s"; });
    EXPECT_EQ(csv,
              "time,value,unit\r\n1s,3.3,\"V, DC\"\r\n2s,,\"V, DC\"\r\n3s,-0.125,\"V, DC\"\r\n");
    EXPECT_STREQ(timeLabelFormat(10), "HH:mm:ss.z");
    EXPECT_STREQ(timeLabelFormat(3600), "HH:mm:ss");
    EXPECT_STREQ(timeLabelFormat(86400 * 2), "MM-dd HH:mm");
}

} // namespace
} // namespace qv::trend
