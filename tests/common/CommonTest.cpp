#include "common/DrawingTarget.h"
#include "common/LogLines.h"
#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv::common {
namespace {

// Print items (no pattern) and pattern texts. Next to the largest double the 15-digit form would
// round past it and not read back (a saved waveform would not open): it is cut to 15 digits.
TEST(NumberFormat, PrintItemsPatternsRoundTripsParsingHalfEvenRoundingAndSaturation) {
    constexpr double kMax = std::numeric_limits<double>::max();
    // clang-format off
    const struct { double value; const char *pattern, *text; } cases[] = {
        {0.15, "", " 0.15 "}, {3.0, "", " 3 "}, {0.00390625, "", " 0.00390625 "},
        {-2.25, "", "-2.25 "}, {-0.0, "", " 0 "}, {1.5e20, "", " 1.5E+20 "}, {1e-12, "", " 1E-12 "},
        {-1e300, "", "-1E+300 "}, {0.1 + 0.2, "", " 0.3 "}, {1.0 / 3, "", " 0.333333333333333 "},
        {400, "", " 400 "}, {123456789012345.0, "", " 123456789012345 "}, {1e15, "", " 1E+15 "},
        {1e-10, "", " 0.0000000001 "}, {kMax, "", " 1.79769313486231E+308 "},
        {-kMax, "", "-1.79769313486231E+308 "},
        {std::nextafter(kMax, 0.0), "", " 1.79769313486231E+308 "},
        {3, "###0.0##", "3.0"}, {2.675, "###0.0#", "2.68"}, {1.30, "###0.0#", "1.3"},
        {7.8125, "###0.0##", "7.813"}, {-0.001, "###0.0#", "0.0"}, {-0.006, "###0.0#", "-0.01"},
        {25, "##0.0##", "25.0"}, {0.999, "##0.0#", "1.0"}, {99.995, "##0.0#", "100.0"},
        {-2.25, "#0.0#", "-2.25"}, {0.125, "##0.0#", "0.13"}, {12.34567, "###0.0###", "12.3457"},
        {-0.0, "##0.0#", "0.0"}, {1e300, "###0.0#", "1E+300"}};
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(*c.pattern ? formatPattern(c.value, c.pattern) : printItem(c.value), c.text)
            << c.value << " " << c.pattern;

    EXPECT_EQ(printItem(roundThrough(1.004, "###0.0#")), " 1 "); // trailing zeros dropped
    EXPECT_DOUBLE_EQ(roundThrough(1.23456, "###0.0##"), 1.235);
    EXPECT_EQ(std::tuple(signedText(3), signedText(-12), signedText(0)),
              std::tuple(" 3", "-12", " 0"));
    EXPECT_EQ(signedText(std::numeric_limits<long long>::min()), "-9223372036854775808");
    EXPECT_EQ(std::tuple(parseNumber("-2.68"), parseNumber("1.79769313486231E+308"),
                         parseNumber("abc"), parseNumber("+0.5")),
              std::tuple(-2.68, 1.79769313486231e308, 0.0, 0.5));
    // clang-format off
    const struct { double in, rounded; int int16; } halves[] = {
        {0.5, 0, 0}, {1.5, 2, 2}, {2.5, 2, 2}, {-2.5, -2, -2}, {2.4999, 2, 2}, {1e9, 1e9, 32767},
        {-0.5, -0.0, 0}, {-1e9, -1e9, -32768}, {32767.5, 32768, 32767}, {-32768.5, -32768, -32768}};
    // clang-format on
    for (const auto &c : halves)
        EXPECT_EQ(std::tuple(roundHalfEven(c.in), toInt16(c.in)), std::tuple(c.rounded, c.int16))
            << c.in;
    EXPECT_EQ(std::tuple(toInt16(std::nan("")), toInt16(std::numeric_limits<double>::infinity())),
              std::tuple(0, 32767));
    EXPECT_EQ(std::tuple(tableIndex(15.4, 0, 15), tableIndex(-0.5, 0, 15)), std::tuple(15, 0));
    EXPECT_FALSE(tableIndex(15.6, 0, 15) || tableIndex(std::nan(""), 0, 15));
}

TEST(DrawingTarget, PrintsRunningPastThePageBottomGoOnOnANewPage) {
    DrawingTarget t;
    t.setOrigin(-1000, -1000);
    std::vector<DisplayList> full;
    t.setPageHeight(16000, [&full](const DisplayList &page) { full.push_back(page); });
    t.setCurrentY(50);
    for (int i = 0; i < 200; ++i)
        t.print("line " + std::to_string(i));
    full.push_back(t.ops());
    EXPECT_GT(full.size(), 2u);
    int next = 0;
    for (const DisplayList &page : full)
        for (const DrawOp &op : page)
            if (const auto *text = std::get_if<TextOp>(&op)) {
                EXPECT_EQ(text->text, "line " + std::to_string(next++)) << "in order, none lost";
                EXPECT_LE(text->y, 15000);
            }
    EXPECT_EQ(next, 200);
    // Every change is told (a canvas repaints then), an empty print too: it moves the position.
    int changes = 0;
    t.setOnChange([&changes] { ++changes; });
    const double y = t.currentY();
    t.print("", true);
    EXPECT_EQ(std::tuple(changes, t.currentX(), t.currentY() > y), std::tuple(1, -1000.0, true));
    t.box(1, 2, 3, 4, kRed);
    EXPECT_EQ(std::tuple(changes, t.currentX(), t.currentY()), std::tuple(2, 3.0, 4.0));
}

// Indexed at once or grown piece by piece alike; a line end belongs to its line.
TEST(LogLines, SplitsAtLineEndsFindsOffsetsAndStartsOverWhenTheTextShrinks) {
    // clang-format off
    const struct { std::vector<std::string> pieces, lines; } cases[] = {
        {{"a\r\n", "b\r\n"}, {"a", "b", ""}}, {{"a\r", "\nb", "c\r\n"}, {"a", "bc", ""}},
        {{"  14:03:27     1.234 V   DC   \r\n"}, {"  14:03:27     1.234 V   DC   ", ""}},
        {{""}, {""}}, {{"no end"}, {"no end"}}, {{"x\n\n", "y"}, {"x", "", "y"}}};
    // clang-format on
    for (const auto &c : cases) {
        std::string text;
        LogLines grown, once;
        for (const std::string &piece : c.pieces)
            grown.grew(text += piece);
        once.reset(text);
        for (const LogLines *index : {&grown, &once}) {
            std::vector<std::string> lines;
            for (std::size_t i = 0; i < index->count(); ++i)
                lines.emplace_back(index->line(text, i));
            EXPECT_EQ(lines, c.lines) << text;
        }
    }
    LogLines index;
    index.reset("ab\r\ncd\r\n");
    EXPECT_EQ(std::tuple(index.lineAt(0), index.lineAt(3), index.lineAt(4), index.lineAt(8)),
              std::tuple(0u, 0u, 1u, 2u));
    index.grew("z");
    EXPECT_EQ(std::tuple(index.count(), index.line("z", 0)), std::tuple(1u, "z"));
}

} // namespace
} // namespace qv::common
