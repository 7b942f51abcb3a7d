#include "PrintFixture.h"

#include <gtest/gtest.h>

namespace qv::output {
namespace {

using testing::cursorTexts;
using testing::linesOf;
using testing::opsOf;
using testing::PrintFixture;

/// Texts printed in a row of the page or the screen, with their x.
std::vector<std::pair<double, std::string>> row(const common::DrawingTarget &t, double y) {
    std::vector<std::pair<double, std::string>> found;
    for (const auto &op : opsOf<common::TextOp>(t))
        if (op.y == y)
            found.emplace_back(op.x, op.text);
    return found;
}

TEST(WavePrint, BothTimeCursorsWithReadoutsMeasurementsAndTitle) {
    PrintFixture f;
    f.showWaveform();
    f.form.v.CursorMode = 1;
    f.click(1, 1000, 2500);
    f.click(2, 1400, 2500);
    const common::DrawingTarget &page = f.printPage();

    const auto cursorLines = linesOf(page, 5, common::kBlack);
    ASSERT_EQ(cursorLines.size(), 2u);
    const double xs[] = {1000, 1400};
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(cursorLines[k].x1, xs[k]);
        EXPECT_EQ(cursorLines[k].x2, xs[k]);
        EXPECT_EQ(cursorLines[k].y1, 500);
        EXPECT_EQ(cursorLines[k].y2, 4500);
    }
    EXPECT_EQ(cursorTexts(page), (std::vector<std::string>{"3500:1/dt=1kHz", "2000:dt=1.0ms"}));

    // Readouts and measurements as the screen shows them, at the same places.
    for (double y : {50.0, 230.0, 4550.0})
        EXPECT_EQ(row(page, y), row(f.form.el.Picture1, y)) << y;
    const auto frequency = row(page, 4750);
    ASSERT_FALSE(frequency.empty());
    EXPECT_EQ(frequency.front(), (std::pair<double, std::string>{100, " 500 Hz "}));

    const auto title = opsOf<common::TextOp>(page).back();
    EXPECT_EQ(title.text, "Wave of bench");
    EXPECT_EQ(title.x, 150);
    EXPECT_EQ(title.y, -150);
    EXPECT_EQ(title.font, "Arial");
    EXPECT_EQ(title.sizePt, 9);
}

// Graticule in pen width 2, trace 10, cursors 5; paper has no XOR, so everything is copy.
TEST(WavePrint, PenWidthsAndCopyModeOnly) {
    PrintFixture f;
    f.showWaveform();
    f.form.v.CursorMode = 2;
    f.click(1, 3000, 1300);
    const auto screenOps = f.form.el.Picture1.ops().size();
    const auto screenMode = f.form.el.Picture1.drawMode();
    const common::DrawingTarget &page = f.printPage();

    // Grid lines are width 2; the trace, glyph and markers 10; the one cursor 5.
    std::size_t grid = 0, heavy = 0, cursor = 0;
    for (const auto &l : opsOf<common::LineOp>(page)) {
        const int expected = l.color == common::kGrid ? 2 : l.width == 5 ? 5 : 10;
        EXPECT_EQ(l.width, expected);
        grid += expected == 2;
        heavy += expected == 10;
        cursor += expected == 5;
    }
    EXPECT_EQ(grid, 6u * 2 + 33u * 2 + 7u * 2 + 26u * 2);
    EXPECT_EQ(heavy, 253u + 3 + 9);
    EXPECT_EQ(cursor, 1u);
    for (const auto &b : opsOf<common::BoxOp>(page))
        EXPECT_EQ(b.width, 2);
    EXPECT_EQ(linesOf(page, 5, common::kBlack).size(), 1u);
    for (const auto &l : opsOf<common::LineOp>(page))
        EXPECT_EQ(l.mode, common::DrawMode::Copy);
    for (const auto &b : opsOf<common::BoxOp>(page))
        EXPECT_EQ(b.mode, common::DrawMode::Copy);
    // The screen is left as it was.
    EXPECT_EQ(f.form.el.Picture1.ops().size(), screenOps);
    EXPECT_EQ(f.form.el.Picture1.drawMode(), screenMode);
}

// Samples 0..252 at x 210..5250, clamped to the frame and moved by the vertical position.
TEST(WavePrint, TraceOf253PointsClampedAndShifted) {
    const struct {
        double value, position, y;
    } cases[] = {
        {0, 0, 2500},    {0, 10, 2100},   {25, 0, 1500},     {100, 0, 500},
        {-100, 0, 4500}, {1e300, 0, 500}, {-1e300, 0, 4500}, {std::nan(""), 0, 500},
    };
    for (const auto &c : cases) {
        PrintFixture f;
        f.form.wave.WaveData.fill(c.value);
        f.form.wave.DsoParam[3] = c.position;
        f.showWaveform();
        const auto lines = linesOf(f.printPage(), 10, common::kBlack);
        ASSERT_GE(lines.size(), 253u);
        for (std::size_t i = 0; i < 253; ++i) {
            EXPECT_EQ(lines[i].x2, 210 + 20.0 * i);
            EXPECT_EQ(lines[i].y2, c.y) << c.value << " " << i;
        }
        EXPECT_EQ(lines[0].x1, 210);
        EXPECT_EQ(lines[0].y1, c.y);
        EXPECT_EQ(lines[252].x2, 5250);
        // The next black heavy line is the slope glyph, not a 254th point.
        EXPECT_NE(lines[253].x2, 5270);
    }
}

// Which cursor lines and texts the page shows, by mode and shown cursors. Every row first
// places both cursors and redraws, so stale texts exist and must not leak onto the page.
TEST(WavePrint, CursorTableByModeAndShownCursors) {
    const struct {
        int mode;
        bool one, two;
        std::size_t lines;
        std::vector<std::string> texts;
    } cases[] = {
        {1, true, true, 2, {"3500:1/dt=1kHz", "2000:dt=1.0ms"}},
        {1, true, false, 1, {"2000:V=1.2V"}},
        {1, false, true, 1, {"2000:V=-1.2V"}},
        {1, false, false, 0, {}},
        {2, true, true, 2, {"2000:dV=4.0V"}},
        {2, true, false, 1, {"2000:V=2.0V"}},
        {2, false, true, 1, {"2000:V=-2.0V"}},
        {2, false, false, 0, {}},
        {0, false, false, 0, {}},
    };
    for (const auto &c : cases) {
        PrintFixture f;
        f.showWaveform();
        f.form.v.CursorMode = static_cast<std::int16_t>(c.mode == 0 ? 1 : c.mode);
        f.click(1, 1000, 2100);
        f.click(2, 1400, 2900);
        f.showWaveform(); // the redraw hides the cursors; their texts stay
        f.form.v.CursorMode = static_cast<std::int16_t>(c.mode);
        if (c.one)
            f.click(1, 1000, 2100);
        if (c.two)
            f.click(2, 1400, 2900);
        const common::DrawingTarget &page = f.printPage();
        const auto lines = linesOf(page, 5, common::kBlack);
        EXPECT_EQ(lines.size(), c.lines) << c.mode << c.one << c.two;
        for (const auto &l : lines)
            EXPECT_TRUE(c.mode == 1 ? (l.y1 == 500 && l.y2 == 4500 && l.x1 == l.x2)
                                    : (l.x1 == 150 && l.x2 == 5270 && l.y1 == l.y2));
        EXPECT_EQ(cursorTexts(page), c.texts) << c.mode << c.one << c.two;
    }
}

} // namespace
} // namespace qv::output
