#include "PrintFixture.h"

#include <gtest/gtest.h>

namespace qv::output {
namespace {

using namespace testing;
using common::kBlack, common::TextOp;
using Texts = std::vector<std::string>;

// The DMM record page in Arial 9, black: the header from (0, 50), then each log line at the left
// edge (-1000) a text line lower, empty ones too; any line end splits, a last one adds no line.
TEST(Print, TheRecordPageOneDocumentPerCopyCursorsReadoutsTitlePenWidthsAndTraces) {
    const double h = common::EstimatedTextMeasure{}.lineHeight("Arial", 9);
    const std::pair<std::string, std::string> cases[] = {
        // log; rows after the header
        {"", "6:End of record|"},
        {"a\r\n\r\nb", "5:a|7:b|9:End of record|"},
        {"a\nb\rc\r\n", "5:a|6:b|7:c|9:End of record|"}};
    for (const auto &[log, rows] : cases) {
        PrintFixture f;
        f.form.el.DSOmode.setChecked(false);
        f.form.el.Text1.setText("bench");
        f.form.el.RichTextBox1.setText(log);
        const common::DrawingTarget &page = f.printPage();
        std::string printed;
        for (const auto &t : opsOf<TextOp>(page)) {
            const long row = std::lround((t.y - 50) / h);
            printed += std::to_string(row) + ":" + t.text + "|";
            EXPECT_EQ(std::tuple(t.x, t.y, t.font, t.sizePt, t.color),
                      std::tuple(row ? -1000 : 0, 50 + row * h, "Arial", 9, kBlack));
        }
        EXPECT_EQ(printed,
                  "0:QVDATALINK47 V1.0|1:QM1538 DMM Record: bench|2:2026-12-07|3:14:03:27|" + rows);
        EXPECT_EQ(
            std::tuple(page.originLeft(), page.originTop(), opsOf<common::LineOp>(page).size()),
            std::tuple(-1000, -1000, 0u));
    }

    // A document per copy; Cancel (no copies) and failures to begin or end print and say nothing.
    // clang-format off
    const std::tuple<std::optional<int>, bool, bool, std::size_t> jobs[] = {
        {3, false, false, 3}, {std::nullopt, false, false, 0}, {0, false, false, 0},
        {3, true, false, 0}, {3, false, true, 0}};
    // clang-format on
    for (const auto &[copies, failBegin, failEnd, pages] : jobs) {
        PrintFixture f;
        f.form.el.DSOmode.setChecked(false);
        f.fp.printer.copies = copies, f.fp.printer.failBegin = failBegin;
        f.fp.printer.failEnd = failEnd;
        f.printing.Printout();
        ASSERT_EQ(f.fp.printer.pages.size(), pages);
        for (const auto &page : f.fp.printer.pages)
            EXPECT_EQ(opsOf<TextOp>(*page).back().text, "End of record");
        EXPECT_TRUE(f.fp.messages.shown.empty());
    }

    // Cursors, readouts and title; pens 2 (graticule), 5 (cursors), 10, no XOR; screen untouched.
    PrintFixture f;
    f.show(false);
    f.form.v.CursorMode = 1;
    f.click(1, 1000, 2500), f.click(2, 1400, 2500);
    const auto screen = std::tuple(f.form.el.Picture1.ops().size(), f.form.el.Picture1.drawMode());
    const common::DrawingTarget &page = f.printPage();
    EXPECT_EQ(linesIn(page, kBlack, 5),
              (std::vector<Line>{{1000, 500, 1000, 4500}, {1400, 500, 1400, 4500}}));
    EXPECT_EQ(row(page, 4750, true), (Texts{"3500:1/dt=1kHz", "2000:dt=1.0ms"}));
    for (double y : {50.0, 230.0, 4550.0})
        EXPECT_EQ(row(page, y), row(f.form.el.Picture1, y)) << y;
    EXPECT_EQ(row(page, 4750).at(0), "100: 500 Hz ");
    const auto title = opsOf<TextOp>(page).back();
    EXPECT_EQ(std::tuple(title.text, title.x, title.y, title.font, title.sizePt),
              std::tuple("Wave of bench", 150, -150, "Arial", 9));
    for (const auto &l : opsOf<common::LineOp>(page)) {
        const int width = l.color == common::kGrid ? 2 : l.width == 5 ? 5 : 10;
        ASSERT_EQ(std::tuple(l.width, l.mode), std::tuple(width, common::DrawMode::Copy));
    }
    EXPECT_EQ(std::tuple(f.form.el.Picture1.ops().size(), f.form.el.Picture1.drawMode()), screen);

    // Samples 0..252 at x 210..5250, clamped to the frame and moved by the vertical position.
    for (const auto &[value, position, y] : {std::tuple(0., 10., 2100.), {-1e300, 0., 4500.}}) {
        PrintFixture f;
        f.form.wave.WaveData.fill(value);
        f.form.wave.DsoParam[3] = position;
        f.show(false);
        const auto lines = linesIn(f.printPage(), kBlack, 10);
        ASSERT_GE(lines.size(), 254u);
        for (std::size_t i = 0; i < 253; ++i)
            ASSERT_EQ(lines[i], (Line{i ? 190. + 20 * i : 210, y, 210. + 20 * i, y}))
                << value << " " << i;
        EXPECT_NE(lines[253][2], 5270); // the slope glyph follows, not a 254th point
    }

    // The spectrum trace as the screen last showed it, not recomputed: bins 0..127, 40 twips apart
    // from x = 150. A zero waveform in dB lies on -50 dB, the bottom edge. Readouts and title.
    for (const auto &[logScale, zero] : {std::pair(0, false), {1, true}}) {
        PrintFixture f;
        if (zero)
            f.form.wave.WaveData.fill(0);
        f.show(true, logScale);
        auto screen = linesIn(f.form.el.Picture1, common::kRed, 1);
        std::erase_if(screen, [](const Line &l) { return l[2] - l[0] != 40; }); // the trace only
        f.form.wave.WaveData.fill(7);
        const common::DrawingTarget &page = f.printPage();
        const auto trace = linesIn(page, kBlack, 10);
        ASSERT_EQ(screen.size(), 127u);
        ASSERT_GE(trace.size(), 127u);
        for (int i = 0; i < 127; ++i) {
            EXPECT_EQ(trace[i], screen[i]) << logScale << " " << i;
            EXPECT_TRUE(trace[i][0] == 150 + 40 * i && (!zero || trace[i][3] == 4500)) << i;
        }
        EXPECT_EQ(row(page, 230), row(f.form.el.Picture1, 230));
        EXPECT_EQ(opsOf<TextOp>(page).back().text, "FFT of bench");
    }
}

// Cursor lines and texts on the page by view, mode and shown cursors; stale texts never leak, but
// in the spectrum view every cursor mode prints its texts, even with no cursor shown.
TEST(Print, CursorTableByViewModeAndShownCursors) {
    // spectrum view, mode, cursor 1 shown, cursor 2 shown (a line each); texts
    // clang-format off
    const std::tuple<bool, int, bool, bool, Texts> cases[] = {
        {false, 1, true, false, {"2000:V=1.2V"}}, {false, 1, false, true, {"2000:V=-1.2V"}},
        {false, 2, true, true, {"2000:dV=4.0V"}}, {false, 2, true, false, {"2000:V=2.0V"}},
        {false, 2, false, false, {}}, {true, 1, true, true, {"2000:df=781.25Hz "}},
        {true, 1, false, false, {"3500:F=0.0V", "2000:df=781.25Hz "}},
        {true, 2, true, true, {"2000:dF=0.25V"}}, {true, 2, true, false, {"2000:F=0.75V"}},
        {true, 2, false, false, {"2000:dF=0.25V"}}, {true, 0, false, false, {}}};
    // clang-format on
    for (const auto &[spectrum, mode, one, two, texts] : cases) {
        PrintFixture f;
        f.show(spectrum);
        f.form.v.CursorMode = mode == 0 ? 1 : mode;
        f.click(1, 1000, 2100), f.click(2, 1400, 2900);
        f.show(spectrum); // the redraw hides the cursors; their texts stay
        f.form.v.CursorMode = mode;
        if (one)
            f.click(1, 1000, 2100);
        if (two)
            f.click(2, 1400, 2900);
        const common::DrawingTarget &page = f.printPage();
        const auto cursorLines = linesIn(page, kBlack, 5);
        EXPECT_EQ(cursorLines.size(), std::size_t(one + two)) << spectrum << mode << one << two;
        for (const auto &[x1, y1, x2, y2] : cursorLines)
            EXPECT_TRUE(mode == 1 ? y1 == 500 && y2 == 4500 && x1 == x2
                                  : x1 == 150 && x2 == 5270 && y1 == y2);
        EXPECT_EQ(row(page, 4750, true), texts) << spectrum << mode << one << two;
    }
}

} // namespace
} // namespace qv::output
