#include "CursorFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv::cursors {
namespace {

using testing::CursorFixture;

TEST(ScreenCursors, PlacesCursorsOnlyInsideTheGraticuleEdgesIncluded) {
    const struct {
        int mode;
        float x, y;
        bool placed;
    } cases[] = {
        {1, 150, 2500, true},       {1, 5270, 2500, true},  {1, 149, 2500, false},
        {1, 5271, 2500, false},     {1, 2000, 500, true},   {1, 2000, 4500, true},
        {1, 2000, 499, false},      {1, 2000, 4501, false}, {2, 2000, 500, true},
        {2, 2000, 4501, false},     {0, 2000, 2500, false}, {1, NAN, 2500, false},
        {2, 2000, INFINITY, false},
    };
    for (const auto &c : cases) {
        CursorFixture f;
        f.start(true, c.mode);
        const auto before = f.form.el.Picture1.ops().size();
        f.cursors.Picture1_MouseDown(1, 0, c.x, c.y);
        EXPECT_EQ(f.cursors.state().Cursor1Shown == 1, c.placed) << c.x << "," << c.y;
        EXPECT_EQ(f.form.el.Picture1.ops().size() > before, c.placed) << c.x << "," << c.y;
        if (!c.placed)
            continue;
        const auto stored =
            c.mode == 1 ? f.cursors.state().TimeCursor1X : f.cursors.state().LevelCursor1Y;
        EXPECT_EQ(stored, std::lround(c.mode == 1 ? c.x : c.y));
    }
}

TEST(ScreenCursors, ASecondClickWithTheSameButtonLeavesOneLine) {
    const struct {
        bool waveformView;
        int mode, button;
        common::Rgb colour;
        double x1, y1, x2, y2;
    } cases[] = {
        {true, 1, 1, common::kCyan, 3000, 500, 3000, 4500},
        {false, 1, 2, common::kYellow, 3000, 500, 3000, 4500},
        {true, 2, 2, common::kCyan, 150, 3000, 5270, 3000},
        {false, 2, 1, common::kYellow, 150, 3000, 5270, 3000},
    };
    for (const auto &c : cases) {
        CursorFixture f;
        f.start(c.waveformView, c.mode);
        f.cursors.Picture1_MouseDown(c.button, 0, 1000.4f, 1000.6f);
        f.cursors.Picture1_MouseDown(c.button, 0, 3000, 3000);
        const auto lines = f.xorLines();
        ASSERT_EQ(lines.size(), 3u) << "draw, erase, draw";
        const auto visible = f.visibleXorLines();
        ASSERT_EQ(visible.size(), 1u) << "the first line and its erase must coincide";
        EXPECT_EQ(visible[0].x1, c.x1);
        EXPECT_EQ(visible[0].y1, c.y1);
        EXPECT_EQ(visible[0].x2, c.x2);
        EXPECT_EQ(visible[0].y2, c.y2);
        EXPECT_EQ(visible[0].color, c.colour);
    }
}

TEST(ScreenCursors, ClosingErasesBothLinesButNothingAfterARedraw) {
    const struct {
        int mode;
        bool redraw;
        std::size_t newLines;
    } cases[] = {{1, false, 2}, {2, false, 2}, {1, true, 0}, {2, true, 0}};
    for (const auto &c : cases) {
        CursorFixture f;
        f.start(true, c.mode);
        f.cursors.Picture1_MouseDown(1, 0, 1000, 1000);
        f.cursors.Picture1_MouseDown(2, 0, 2000, 2000);
        if (c.redraw)
            f.start(true, c.mode);
        const auto before = f.xorLines().size();
        if (c.mode == 1)
            f.cursors.CloseHCursor();
        else
            f.cursors.CloseVCursor();
        EXPECT_EQ(f.xorLines().size() - before, c.newLines) << c.mode << c.redraw;
        EXPECT_TRUE(f.visibleXorLines().empty()) << c.mode << c.redraw;
        EXPECT_EQ(f.cursors.state().Cursor1Shown, 0);
        EXPECT_EQ(f.cursors.state().Cursor2Shown, 0);
    }
}

TEST(ScreenCursors, MiddleClickRefreshesTheReadoutOnly) {
    CursorFixture f;
    f.form.wave.DsoParam[2] = 7; // 2 V/div on model 0
    f.start(true, 2);
    f.cursors.Picture1_MouseDown(1, 0, 1000, 2100);
    EXPECT_EQ(f.readoutAt(2000), "V=2.0V");
    f.form.wave.DsoParam[2] = 8; // 1 V/div
    const auto lines = f.xorLines().size();
    f.cursors.Picture1_MouseDown(4, 0, 3000, 4000);
    EXPECT_EQ(f.xorLines().size(), lines);
    EXPECT_EQ(f.cursors.state().LevelCursor1Y, 2100);
    EXPECT_EQ(f.readoutAt(2000), "V=1.0V");
    EXPECT_EQ(f.cursors.readouts().LevelCursorText, "V=1.0V");
}

TEST(ScreenCursors, InitChoosesThePenByViewAndClearDrawsTheWhiteStrip) {
    CursorFixture f;
    f.start(false, 1);
    EXPECT_EQ(f.cursors.state().CursorPenColor, common::kYellow);
    EXPECT_EQ(f.form.el.Picture1.drawMode(), common::DrawMode::Xor);
    f.start(true, 1);
    EXPECT_EQ(f.cursors.state().CursorPenColor, common::kCyan);

    f.form.el.Picture1.setForeColor(common::kRed);
    f.cursors.Clear_dVdt();
    const auto &box = std::get<common::BoxOp>(f.form.el.Picture1.ops().back());
    EXPECT_EQ(box.x1, 2000);
    EXPECT_EQ(box.y1, 4750);
    EXPECT_EQ(box.x2, 5400);
    EXPECT_EQ(box.y2, 4950);
    EXPECT_TRUE(box.filled);
    EXPECT_EQ(box.fill, common::kWhite);
    EXPECT_EQ(box.color, common::kWhite);
    EXPECT_EQ(box.mode, common::DrawMode::Copy);
    EXPECT_EQ(f.form.el.Picture1.foreColor(), common::kBlack);
}

} // namespace
} // namespace qv::cursors
