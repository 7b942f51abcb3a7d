#include "dso/ParameterReadouts.h"
#include "Ops.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv::dso {
namespace {

using test::linesIn;
using test::textsAt;

struct Readouts {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    ScaleTables tables;
    common::DrawingTarget target;
};

TEST(ParameterReadouts, Texts) {
    const struct {
        const char *name;
        int model;
        double timeBase, gain, level, coupling;
        const char *levelText, *timeText, *gainText, *coupleText;
    } cases[] = {
        {"0.5 V/div at level 3", 4, 10, 8, 3, 1, " 0.15 V", "t:  10 ms/div", "Y:  0.5 V/div",
         " DC"},
        {"0.5 time base", 3, 5, 12, -10, 0, "-40 mV", "t:  0.5 s/div", "Y:  40 mV/div", "GND"},
        {"AC and nanoseconds", 3, 26, 0, 1, 3, " 40 V", "t:  50 ns/div", "Y:  400 V/div", " AC"},
        {"coupling 2 prints nothing", 0, 24, 14, 0, 2, " 0 mV", "t:  1 us/div", "Y:  10 mV/div",
         ""},
        {"gain 15 has no entry", 6, 20, 15, 5, -1, " 0 ", "t:  5 us/div", "Y:  0 /div", ""},
        {"model without scales", 200, 3, 3, 5, 1, " 0 ", "t:  0 s/div", "Y:  0 /div", " DC"},
        {"indices out of range", 3, -3.5, 99, 5, 1.5, " 0 ", "t:  0 /div", "Y:  0 /div", ""},
        {"half index rounds to even", 3, 20.5, 8.5, 10, 1, " 1 V", "t:  5 us/div", "Y:  1 V/div",
         " DC"},
        {"not a number", 3, std::nan(""), std::nan(""), std::nan(""), std::nan(""), " NaN ",
         "t:  0 /div", "Y:  0 /div", ""},
    };
    for (const auto &c : cases) {
        Readouts r;
        r.form.v.MeterModelCode = static_cast<std::int16_t>(c.model);
        r.form.v.MeterModelName = "QM520V";
        r.form.wave.WaveDate = "2026-12-07";
        r.form.wave.WaveTime = "14:03";
        auto &p = r.form.wave.DsoParam;
        p[0] = c.timeBase;
        p[2] = c.gain;
        p[6] = c.level;
        p[4] = c.coupling;
        Display_DSO_Parameter(r.form, r.tables, r.target);
        auto texts = textsAt(r.target);
        const auto at = [&texts](double x, double y) { return texts[{x, y}]; };
        EXPECT_EQ(at(500, 230), c.levelText) << c.name;
        EXPECT_EQ(at(1600, 230), c.timeText) << c.name;
        EXPECT_EQ(at(3100, 230), c.gainText) << c.name;
        EXPECT_EQ(at(4900, 230), c.coupleText) << c.name;
        EXPECT_EQ(at(150, 50), "Model: QM520V") << c.name;
        EXPECT_EQ(at(3600, 50), "2026-12-07") << c.name;
        EXPECT_EQ(at(4600, 50), "14:03") << c.name;
        EXPECT_EQ(r.target.foreColor(), common::kBlack) << c.name;
    }
}

TEST(ParameterReadouts, SlopeGlyph) {
    const struct {
        double slope;
        double from, to;
    } cases[] = {{0, 270, 400}, {1, 400, 270}, {-1, 400, 270}, {3, 400, 270}};
    for (const auto &c : cases) {
        Readouts r;
        r.form.wave.DsoParam[5] = c.slope;
        r.target.setForeColor(common::kRed);
        Display_Slope(r.form, r.target);
        const auto lines = linesIn(r.target, common::kBlack);
        ASSERT_EQ(lines.size(), 3u);
        const double expected[3][4] = {
            {150, c.from, 200, c.from}, {200, c.from, 200, c.to}, {200, c.to, 250, c.to}};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(lines[i].x1, expected[i][0]) << c.slope;
            EXPECT_EQ(lines[i].y1, expected[i][1]) << c.slope;
            EXPECT_EQ(lines[i].x2, expected[i][2]) << c.slope;
            EXPECT_EQ(lines[i].y2, expected[i][3]) << c.slope;
        }
        EXPECT_EQ(r.target.foreColor(), common::kRed); // not changed
    }
}

TEST(ParameterReadouts, RedMarkers) {
    // Apex and the three corners of each triangle.
    const struct {
        const char *name;
        double trigger, position, level;
        int which; ///< 0 trigger position, 1 zero level, 2 trigger level
        double apexX, apexY, x1, y1, x2, y2;
    } cases[] = {
        {"trigger position 0", 0, 0, 0, 0, 2710, 500, 2650, 440, 2770, 440},
        {"trigger position -10", -10, 0, 0, 0, 2310, 500, 2250, 440, 2370, 440},
        {"zero at -50 on the bottom edge", 0, -50, 0, 1, 150, 4500, 90, 4560, 90, 4440},
        {"zero at 10", 0, 10, 0, 1, 150, 2100, 90, 2160, 90, 2040},
        {"level 25 off the graticule", 0, 0, 60, 2, 5270, 100, 5330, 160, 5330, 40},
        {"level huge stays in range", 0, 0, -1e300, 2, 5270, 32767, 5330, 32827, 5330, 32707},
    };
    for (const auto &c : cases) {
        Readouts r;
        auto &p = r.form.wave.DsoParam;
        p[1] = c.trigger;
        p[3] = c.position;
        p[6] = c.level;
        Display_DSO_Parameter(r.form, r.tables, r.target);
        const auto red = linesIn(r.target, common::kRed);
        ASSERT_EQ(red.size(), 9u) << c.name;
        // Order: trigger level (after its text), zero marker, trigger-position marker.
        const size_t first = c.which == 2 ? 0 : c.which == 1 ? 3 : 6;
        EXPECT_EQ(red[first].x1, c.apexX) << c.name;
        EXPECT_EQ(red[first].y1, c.apexY) << c.name;
        EXPECT_EQ(red[first].x2, c.x1) << c.name;
        EXPECT_EQ(red[first].y2, c.y1) << c.name;
        EXPECT_EQ(red[first + 1].x2, c.x2) << c.name;
        EXPECT_EQ(red[first + 1].y2, c.y2) << c.name;
        EXPECT_EQ(red[first + 2].x2, c.apexX) << c.name;
        EXPECT_EQ(red[first + 2].y2, c.apexY) << c.name;
    }
}

TEST(ParameterReadouts, OrderOfTheReadouts) {
    Readouts r;
    r.form.v.MeterModelName = "7302";
    r.form.wave.WaveDate = "D";
    r.form.wave.WaveTime = "T";
    r.form.wave.DsoParam[4] = 1;
    Display_DSO_Parameter(r.form, r.tables, r.target);
    std::vector<std::string> order;
    for (const auto &op : r.target.ops()) {
        if (const auto *t = std::get_if<common::TextOp>(&op))
            order.push_back(t->text);
        else if (const auto *l = std::get_if<common::LineOp>(&op))
            order.push_back(l->color == common::kRed ? "red" : "black");
    }
    const std::vector<std::string> expected{
        "D",   "T",   "black",        "black",         "black",      " 0 V", "red",
        "red", "red", "t:  20 s/div", "Y:  400 V/div", " DC",        "red",  "red",
        "red", "red", "red",          "red",           "Model: 7302"};
    EXPECT_EQ(order, expected);
}

} // namespace
} // namespace qv::dso
