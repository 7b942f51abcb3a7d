#include "common/LogLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::common {
namespace {

std::vector<std::string> linesOf(const LogLines &index, std::string_view text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < index.count(); ++i)
        out.emplace_back(index.line(text, i));
    return out;
}

TEST(LogLinesTest, SplitsAtLineEndsWhetherIndexedAtOnceOrGrownPieceByPiece) {
    const struct {
        std::vector<std::string> pieces, lines;
    } cases[] = {
        {{""}, {""}},
        {{"  14:03:27     1.234 V   DC   \r\n"}, {"  14:03:27     1.234 V   DC   ", ""}},
        {{"a\r\n", "b\r\n"}, {"a", "b", ""}},
        {{"a\r", "\nb", "c\r\n"}, {"a", "bc", ""}},
        {{"no end"}, {"no end"}},
        {{"x\n\n", "y"}, {"x", "", "y"}},
    };
    for (const auto &c : cases) {
        std::string text;
        LogLines grown;
        for (const std::string &piece : c.pieces) {
            text += piece;
            grown.grew(text);
        }
        LogLines once;
        once.reset(text);
        EXPECT_EQ(linesOf(grown, text), c.lines) << text;
        EXPECT_EQ(linesOf(once, text), c.lines) << text;
    }
}

TEST(LogLinesTest, FindsTheLineOfAnOffsetAndStartsOverWhenTheTextShrinks) {
    const std::string text = "ab\r\ncd\r\n";
    LogLines index;
    index.reset(text);
    EXPECT_EQ(index.lineAt(0), 0U);
    EXPECT_EQ(index.lineAt(3), 0U) << "the line end belongs to its line";
    EXPECT_EQ(index.lineAt(4), 1U);
    EXPECT_EQ(index.lineAt(8), 2U);
    index.grew("z");
    EXPECT_EQ(index.count(), 1U);
    EXPECT_EQ(index.line("z", 0), "z");
}

} // namespace
} // namespace qv::common
