#include "output/RecordPage.h"

#include "PrintFixture.h"

#include <gtest/gtest.h>

namespace qv::output {
namespace {

using testing::opsOf;
using testing::PrintFixture;

TEST(LogLines, SplitsAtEveryKindOfLineEndWithoutATrailingEmptyLine) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"\r\n", {""}},
        {"\n\r", {"", ""}},
        {std::string("x\0y", 3), {std::string("x\0y", 3)}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(logLines(c.text), c.lines) << c.text;
}

// The DMM record page: the header from (0, 50), then each line at the left edge (-1000) one
// text line lower; empty lines print nothing but take their row.
TEST(RecordPage, HeaderLogEmptyLineAndEndInTheirRows) {
    const double h = common::EstimatedTextMeasure{}.lineHeight("Arial", 9);
    const struct {
        std::string log;
        std::vector<std::pair<int, std::string>> logRows; // row after the header, text
        int endRow;
    } cases[] = {
        {"", {}, 6},
        {"1  2.345 V\r\n", {{5, "1  2.345 V"}}, 7},
        {"a\r\nb", {{5, "a"}, {6, "b"}}, 8},
        {"a\r\n\r\nb\r\n", {{5, "a"}, {7, "b"}}, 9},
    };
    for (const auto &c : cases) {
        PrintFixture f;
        f.form.el.DSOmode.setChecked(false);
        f.form.el.DMMmode.setChecked(true);
        f.form.el.Text1.setText("bench");
        f.form.el.RichTextBox1.setText(c.log);
        const common::DrawingTarget &page = f.printPage();

        std::vector<std::tuple<double, double, std::string>> expected{
            {0, 50, "QVDATALINK47 V1.0"},
            {-1000, 50 + h, "QM1538 DMM Record: bench"},
            {-1000, 50 + 2 * h, "2026-12-07"},
            {-1000, 50 + 3 * h, "14:03:27"},
        };
        for (const auto &[row, text] : c.logRows)
            expected.emplace_back(-1000, 50 + row * h, text);
        expected.emplace_back(-1000, 50 + c.endRow * h, "End of record");

        std::vector<std::tuple<double, double, std::string>> printed;
        for (const auto &t : opsOf<common::TextOp>(page)) {
            printed.emplace_back(t.x, t.y, t.text);
            EXPECT_EQ(t.font, "Arial");
            EXPECT_EQ(t.sizePt, 9);
            EXPECT_EQ(t.color, common::kBlack);
        }
        EXPECT_EQ(printed, expected) << c.log;
        EXPECT_EQ(page.originLeft(), -1000);
        EXPECT_EQ(page.originTop(), -1000);
        EXPECT_TRUE(opsOf<common::LineOp>(page).empty());
    }
}

// Each copy is a document of its own; Cancel and failures print nothing and say nothing.
TEST(Printout, OneDocumentPerCopyAndSilentFailures) {
    const struct {
        std::optional<int> copies;
        bool failBegin, failEnd;
        std::size_t pages;
    } cases[] = {
        {3, false, false, 3}, {1, false, false, 1},  {std::nullopt, false, false, 0},
        {0, false, false, 0}, {-2, false, false, 0}, {3, true, false, 0},
        {3, false, true, 0},
    };
    for (const auto &c : cases) {
        PrintFixture f;
        f.form.el.DSOmode.setChecked(false);
        f.fp.printer.copies = c.copies;
        f.fp.printer.failBegin = c.failBegin;
        f.fp.printer.failEnd = c.failEnd;
        f.printing.Printout();
        ASSERT_EQ(f.fp.printer.pages.size(), c.pages);
        for (const auto &page : f.fp.printer.pages) {
            const auto texts = opsOf<common::TextOp>(*page);
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.back().text, "End of record");
        }
        EXPECT_TRUE(f.fp.messages.shown.empty());
    }
}

} // namespace
} // namespace qv::output
