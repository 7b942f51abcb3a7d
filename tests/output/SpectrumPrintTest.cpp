#include "PrintFixture.h"

#include "common/Rounding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qv::output {
namespace {

using testing::cursorTexts;
using testing::linesOf;
using testing::opsOf;
using testing::PrintFixture;

TEST(SpectrumPrint, DecibelSpectrumWithOneFrequencyCursor) {
    PrintFixture f;
    f.showSpectrum(1);
    f.form.v.CursorMode = 1;
    f.click(1, 550, 3000); // ten lines from the left edge: one division
    const common::DrawingTarget &page = f.printPage();

    const auto cursorLines = linesOf(page, 5, common::kBlack);
    ASSERT_EQ(cursorLines.size(), 1u);
    EXPECT_EQ(cursorLines[0].x1, 550);
    EXPECT_EQ(cursorLines[0].y1, 500);
    EXPECT_EQ(cursorLines[0].y2, 4500);
    const std::string level = f.cursors.readouts().SpectrumLevelText;
    EXPECT_EQ(level.substr(0, 2), "F=");
    EXPECT_EQ(level.substr(level.size() - 2), "dB");
    EXPECT_EQ(cursorTexts(page), (std::vector<std::string>{"3500:" + level, "2000:f=781.25Hz "}));

    // The readouts of the screen, at the same places.
    std::vector<std::pair<double, std::string>> screen, printed;
    for (const auto &t : opsOf<common::TextOp>(f.form.el.Picture1))
        if (t.y == 230)
            screen.emplace_back(t.x, t.text);
    for (const auto &t : opsOf<common::TextOp>(page))
        if (t.y == 230)
            printed.emplace_back(t.x, t.text);
    EXPECT_EQ(printed, screen);
    EXPECT_NE(std::find(printed.begin(), printed.end(),
                        std::pair<double, std::string>{2300, "F: 10 dB/div"}),
              printed.end());

    const auto title = opsOf<common::TextOp>(page).back();
    EXPECT_EQ(title.text, "FFT of bench");
    EXPECT_EQ(title.x, 150);
    EXPECT_EQ(title.y, -150);

    // The spectrum graticule: vertical lines from the left edge.
    const auto grid = linesOf(page, 2, common::kGrid);
    EXPECT_TRUE(std::any_of(grid.begin(), grid.end(), [](const common::LineOp &l) {
        return l.x1 == 550 && l.x2 == 550 && l.y1 == 500 && l.y2 == 4500;
    }));
}

// Bins 0..127, 40 twips apart from x = 150, from the spectrum as the screen last showed it.
TEST(SpectrumPrint, TraceOf128PointsFromTheStoredSpectrum) {
    for (int logScale : {0, 1}) {
        PrintFixture f;
        f.showSpectrum(logScale);
        const auto stored = f.view.Spectrum;
        f.form.wave.WaveData.fill(0); // not recomputed: the print keeps what was drawn
        const auto lines = linesOf(f.printPage(), 10, common::kBlack);
        ASSERT_GE(lines.size(), 127u);
        const double baseline = logScale == 1 ? 2500 : 4500;
        const auto y = [&](int i) {
            const double v = common::toInt16(baseline - stored[i] * 40 * f.view.SpectrumGain);
            return std::clamp(v, 500.0, 4500.0);
        };
        EXPECT_EQ(lines[0].x1, 150);
        EXPECT_EQ(lines[0].y1, y(0));
        for (int i = 1; i <= 127; ++i) {
            EXPECT_EQ(lines[i - 1].x2, 150 + 40.0 * i);
            EXPECT_EQ(lines[i - 1].y2, y(i)) << logScale << " " << i;
        }
        EXPECT_EQ(lines[126].x2, 5230);
    }
}

// A zero waveform in dB lies on -50 dB, the bottom edge; the print follows the pressed view
// button, not the view last drawn.
TEST(SpectrumPrint, FloorOnTheBottomEdgeAndViewByButton) {
    PrintFixture f;
    f.form.wave.WaveData.fill(0);
    f.showSpectrum(1);
    const auto lines = linesOf(f.printPage(), 10, common::kBlack);
    ASSERT_GE(lines.size(), 127u);
    for (int i = 0; i < 127; ++i)
        EXPECT_EQ(lines[i].y2, 4500);

    PrintFixture g;
    g.showSpectrum(0);
    g.form.el.DSO_wave.setChecked(true);
    const auto texts = opsOf<common::TextOp>(g.printPage());
    EXPECT_EQ(texts.back().text, "Wave of bench");
}

// Every cursor mode on prints the texts, even with no cursor shown.
TEST(SpectrumPrint, CursorTableByModeAndShownCursors) {
    const struct {
        int mode;
        bool one, two;
        std::size_t lines;
        std::vector<std::string> keys; // which texts: L level, F frequency, at x
    } cases[] = {
        {1, true, true, 2, {"2000:F"}},
        {1, true, false, 1, {"3500:L", "2000:F"}},
        {1, false, true, 1, {"3500:L", "2000:F"}},
        {1, false, false, 0, {"3500:L", "2000:F"}},
        {2, true, true, 2, {"2000:L"}},
        {2, true, false, 1, {"2000:L"}},
        {2, false, true, 1, {"2000:L"}},
        {2, false, false, 0, {"2000:L"}},
        {0, false, false, 0, {}},
    };
    for (const auto &c : cases) {
        PrintFixture f;
        f.showSpectrum(0);
        f.form.v.CursorMode = static_cast<std::int16_t>(c.mode == 0 ? 2 : c.mode);
        f.click(1, 950, 2100);
        f.click(2, 1350, 2900);
        f.view.FFT_Display(); // hides the cursors; their texts stay
        f.form.v.CursorMode = static_cast<std::int16_t>(c.mode);
        if (c.one)
            f.click(1, 950, 2100);
        if (c.two)
            f.click(2, 1350, 2900);
        const common::DrawingTarget &page = f.printPage();
        EXPECT_EQ(linesOf(page, 5, common::kBlack).size(), c.lines) << c.mode << c.one << c.two;
        const auto &r = f.cursors.readouts();
        std::vector<std::string> expected;
        for (const std::string &key : c.keys)
            expected.push_back(key.substr(0, 5) +
                               (key.back() == 'L' ? r.SpectrumLevelText : r.FrequencyCursorText));
        for (const std::string &e : expected)
            EXPECT_GT(e.size(), 5u) << "a readout text was never made";
        EXPECT_EQ(cursorTexts(page), expected) << c.mode << c.one << c.two;
    }
}

TEST(Copy, SpectrumViewWithItsCursorGoesOnTheClipboard) {
    PrintFixture f;
    f.showSpectrum(1);
    f.form.v.CursorMode = 1;
    f.click(1, 950, 2000);
    f.fp.clipboard.image = common::DisplayList{};
    f.printing.mnuCopy_Click();
    EXPECT_TRUE(f.fp.clipboard.cleared);
    ASSERT_TRUE(f.fp.clipboard.image.has_value());
    EXPECT_EQ(f.fp.clipboard.image->size(), f.form.el.Picture1.ops().size());
    EXPECT_EQ(f.fp.clipboard.width, 5530);
    EXPECT_EQ(f.fp.clipboard.height, 5055);
    // The image holds the red spectrum and the XOR cursor line as the screen shows them.
    std::size_t red = 0, xorLines = 0;
    for (const auto &op : *f.fp.clipboard.image)
        if (const auto *l = std::get_if<common::LineOp>(&op)) {
            red += l->color == common::kRed && l->x2 - l->x1 == 40;
            xorLines += l->mode == common::DrawMode::Xor && l->x1 == 950;
        }
    EXPECT_EQ(red, 127u);
    EXPECT_EQ(xorLines, 1u);
    EXPECT_TRUE(f.fp.printer.pages.empty());
}

} // namespace
} // namespace qv::output
