#include "dso/WaveScreen.h"
#include "Ops.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace qv::dso {
namespace {

using test::linesIn;

struct Screen {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    ScaleTables tables;
    Measurements measurements{form, tables};
    int cursorInits = 0;
    Screen() {
        form.call.CursorInit = [this] { ++cursorInits; };
    }
};

// x positions of the full-height grid lines.
std::set<double> verticalLines(const common::DrawingTarget &t) {
    std::set<double> xs;
    for (const auto &l : linesIn(t, common::kGrid))
        if (l.x1 == l.x2 && l.y1 == 500 && l.y2 == 4500)
            xs.insert(l.x1);
    return xs;
}

TEST(WaveScreen, GraticuleByModeAndTarget) {
    const struct {
        int mode;
        bool screen;
        double firstLine, lastLine, axis;
        int width;
    } cases[] = {{0, true, 310, 5110, 2710, 1},
                 {1, true, 150, 4950, 150, 1},
                 {0, false, 310, 5110, 2710, 2},
                 {-3, false, 150, 4950, 150, 2}};
    for (const auto &c : cases) {
        Screen s;
        common::DrawingTarget page;
        common::DrawingTarget &target = c.screen ? s.form.el.Picture1 : page;
        target.line(0, 0, 1, 1); // something drawn before
        target.setForeColor(common::kRed);
        target.setDrawMode(common::DrawMode::Xor);
        Display_Coordinate(s.form, target, c.mode);

        const auto &ops = target.ops();
        const bool cleared = ops.size() > 1 && !std::holds_alternative<common::LineOp>(ops[1]);
        EXPECT_EQ(cleared, c.screen) << c.mode;
        EXPECT_EQ(s.cursorInits, c.screen ? 1 : 0);
        EXPECT_EQ(target.penWidth(), c.width);
        EXPECT_EQ(target.drawMode(), common::DrawMode::Copy);
        EXPECT_EQ(target.foreColor(), common::kRed); // the frame does not keep the grid colour

        const auto xs = verticalLines(target);
        EXPECT_EQ(xs.size(), 13u) << c.mode;
        EXPECT_EQ(*xs.begin(), c.firstLine) << c.mode;
        EXPECT_EQ(*xs.rbegin(), c.lastLine) << c.mode;
        int axisTicks = 0, horizontal = 0;
        for (const auto &l : linesIn(target, common::kGrid)) {
            axisTicks += l.y1 == l.y2 && l.x1 == c.axis - 30 && l.x2 == c.axis + 30;
            horizontal += l.y1 == l.y2 && l.x1 == 150 && l.x2 == 5270;
        }
        EXPECT_EQ(axisTicks, 2 * 26) << c.mode; // 0..2000 in steps of 80, both ways
        EXPECT_EQ(horizontal, 2 * 6) << c.mode; // the centre line twice
        const auto *frame = std::get_if<common::BoxOp>(&ops[c.screen ? 1 : 2]);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->color, common::kGrid);
        EXPECT_FALSE(frame->filled);
        EXPECT_EQ(frame->x1, 150);
        EXPECT_EQ(frame->y2, 4500);
    }
}

TEST(WaveScreen, CheckLimitClampsToTheGraticule) {
    const common::ScreenGeometry geo;
    const struct {
        std::int16_t in, out;
    } cases[] = {{-32768, 500}, {499, 500},   {500, 500},   {2500, 2500},
                 {4500, 4500},  {4501, 4500}, {32767, 4500}};
    for (const auto &c : cases)
        EXPECT_EQ(CheckLimit(geo, c.in), c.out) << c.in;
}

TEST(WaveScreen, TraceGeometry) {
    const struct {
        const char *name;
        double value, position;
        double y0, y100; ///< y of point 0 and of points 1..250
    } cases[] = {
        {"zeros on the centre line", 0, 0, 2500, 2500},
        {"position 10 lifts one division", 0, 10, 2100, 2100},
        {"half units round half to even", 0.0125, 0, 2500, 2500},
        {"above the top runs along the frame", 60, 0, 500, 500},
        {"below the bottom", -51, 0, 4500, 4500},
        {"huge values saturate", 1e300, -1e300, 2500, 2500},
        {"huge position", 0, 1e30, 500, 500},
        {"not a number", std::nan(""), 0, 500, 500},
    };
    for (const auto &c : cases) {
        Screen s;
        s.form.wave.WaveData.fill(c.value);
        s.form.wave.DsoParam[3] = c.position;
        s.form.wave.WaveTitle = "Meter 7304 DSO sample ";
        DSO_display(s.form, s.tables, s.measurements);
        const auto trace = linesIn(s.form.el.Picture1, common::kBlue);
        ASSERT_EQ(trace.size(), 251u) << c.name;
        EXPECT_EQ(trace.front().x1, 210) << c.name;
        EXPECT_EQ(trace.front().x2, 210) << c.name;
        EXPECT_EQ(trace.back().x2, 5210) << c.name;
        for (size_t i = 1; i < trace.size(); ++i) {
            ASSERT_EQ(trace[i].x2 - trace[i].x1, 20) << c.name;
            ASSERT_EQ(trace[i].y1, trace[i - 1].y2) << c.name;
        }
        EXPECT_EQ(trace.front().y1, c.y0) << c.name;
        EXPECT_EQ(trace[100].y2, c.y100) << c.name;
        EXPECT_EQ(s.form.el.Text1.text(), "Meter 7304 DSO sample ");
        EXPECT_EQ(s.cursorInits, 2) << c.name; // after the clear and at the end
    }
}

TEST(WaveScreen, PointsBeyond250AreNotDrawn) {
    Screen s;
    for (int i = 0; i <= 256; ++i)
        s.form.wave.WaveData[i] = i > 250 ? 40 : -i / 10.0;
    DSO_display(s.form, s.tables, s.measurements);
    const auto trace = linesIn(s.form.el.Picture1, common::kBlue);
    ASSERT_EQ(trace.size(), 251u);
    for (size_t i = 0; i < trace.size(); ++i)
        ASSERT_EQ(trace[i].y2, 2500 + 4.0 * static_cast<double>(i)) << i;
}

TEST(WaveScreen, DisplayDrawsReadoutsAndMeasurementsAfterTheTrace) {
    Screen s;
    s.form.v.MeterModelCode = 3;
    s.form.v.MeterModelName = "7304";
    s.form.wave.DsoParam[2] = 8;
    s.form.wave.WaveData.fill(10);
    DSO_display(s.form, s.tables, s.measurements);
    const auto texts = test::textsAt(s.form.el.Picture1);
    EXPECT_EQ(texts.at({150, 50}), "Model: 7304");
    EXPECT_EQ(texts.at({1600, 4550}), " 1 Vavg");
    EXPECT_EQ(s.measurements.MeasAverage, 1);
}

} // namespace
} // namespace qv::dso
