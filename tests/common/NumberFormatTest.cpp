#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qv::common {
namespace {

// Next to the largest double the 15-digit form would round past it and not read back (a saved
// waveform file would then refuse to open): it is cut to 15 digits instead.
TEST(NumberFormat, PrintItems) {
    constexpr double kMax = std::numeric_limits<double>::max();
    // clang-format off
    const struct { double value; const char *text; } cases[] = {
        {0.15, " 0.15 "}, {2.5, " 2.5 "}, {3.0, " 3 "}, {0.75, " 0.75 "},
        {0.00390625, " 0.00390625 "}, {-2.25, "-2.25 "}, {-0.0, " 0 "}, {0.0, " 0 "},
        {1.5e20, " 1.5E+20 "}, {1e-12, " 1E-12 "}, {-1e300, "-1E+300 "}, {0.1 + 0.2, " 0.3 "},
        {1.0 / 3, " 0.333333333333333 "}, {123456789012345.0, " 123456789012345 "},
        {1e15, " 1E+15 "}, {1e-10, " 0.0000000001 "}, {400, " 400 "}, {781.25, " 781.25 "},
        {-128, "-128 "}, {kMax, " 1.79769313486231E+308 "}, {-kMax, "-1.79769313486231E+308 "},
        {std::nextafter(kMax, 0.0), " 1.79769313486231E+308 "},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(printItem(c.value), c.text) << c.value;
}

TEST(NumberFormat, Patterns) {
    // clang-format off
    const struct { double value; const char *pattern, *text; } cases[] = {
        {3, "###0.0##", "3.0"}, {2.675, "###0.0#", "2.68"}, {1.30, "###0.0#", "1.3"},
        {7.8125, "###0.0##", "7.813"}, {781.25, "###0.0##", "781.25"},
        {1.5625, "###0.0##", "1.563"}, {-0.001, "###0.0#", "0.0"}, {-0.006, "###0.0#", "-0.01"},
        {0.5, "#0.0#", "0.5"}, {25, "##0.0##", "25.0"}, {0.999, "##0.0#", "1.0"},
        {99.995, "##0.0#", "100.0"}, {-2.25, "#0.0#", "-2.25"}, {0.125, "##0.0#", "0.13"},
        {12.34567, "###0.0###", "12.3457"}, {0, "###0.0##", "0.0"}, {-0.0, "##0.0#", "0.0"},
        {1e300, "###0.0#", "1E+300"},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(formatPattern(c.value, c.pattern), c.text) << c.value << " " << c.pattern;
}

TEST(NumberFormat, RoundTripSignedTextAndParse) {
    EXPECT_EQ(printItem(roundThrough(1.004, "###0.0#")), " 1 "); // trailing zeros dropped
    EXPECT_DOUBLE_EQ(roundThrough(1.23456, "###0.0##"), 1.235);
    EXPECT_EQ(signedText(3), " 3");
    EXPECT_EQ(signedText(-12), "-12");
    EXPECT_EQ(signedText(std::numeric_limits<long long>::min()), "-9223372036854775808");
    EXPECT_DOUBLE_EQ(parseNumber("2.68"), 2.68);
    EXPECT_DOUBLE_EQ(parseNumber("-0.5"), -0.5);
    EXPECT_EQ(parseNumber("1.79769313486231E+308"), 1.79769313486231e308);
    EXPECT_DOUBLE_EQ(parseNumber("abc"), 0.0);
}

TEST(Rounding, HalfEvenAndSaturation) {
    // clang-format off
    const struct { double in, rounded; int int16; } cases[] = {
        {0.5, 0, 0}, {1.5, 2, 2}, {2.5, 2, 2}, {-2.5, -2, -2}, {2.4999, 2, 2}, {-0.5, -0.0, 0},
        {1e9, 1e9, 32767}, {-1e9, -1e9, -32768}, {32767.5, 32768, 32767},
        {-32768.5, -32768, -32768},
    };
    // clang-format on
    for (const auto &c : cases) {
        EXPECT_EQ(roundHalfEven(c.in), c.rounded) << c.in;
        EXPECT_EQ(toInt16(c.in), c.int16) << c.in;
    }
    EXPECT_EQ(toInt16(std::nan("")), 0);
    EXPECT_EQ(toInt16(std::numeric_limits<double>::infinity()), 32767);
    EXPECT_EQ(tableIndex(15.4, 0, 15), 15);
    EXPECT_EQ(tableIndex(15.6, 0, 15), std::nullopt);
    EXPECT_EQ(tableIndex(-0.5, 0, 15), 0);
    EXPECT_EQ(tableIndex(std::nan(""), 0, 15), std::nullopt);
}

} // namespace
} // namespace qv::common
