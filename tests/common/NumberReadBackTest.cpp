#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qv::common {
namespace {

// Next to the largest double the 15-digit form would round past it and not read back (a saved
// waveform file would then refuse to open): it is cut to 15 digits instead.
TEST(NumberReadBack, LargestDoublesPrintAsTextThatReadsBack) {
    constexpr double kMax = std::numeric_limits<double>::max();
    const struct {
        double value;
        const char *text;
    } cases[] = {
        {kMax, " 1.79769313486231E+308 "},
        {-kMax, "-1.79769313486231E+308 "},
        {std::nextafter(kMax, 0.0), " 1.79769313486231E+308 "},
        {1.79769313486231e308, " 1.79769313486231E+308 "},
        {1.7976931348623e308, " 1.7976931348623E+308 "},
        {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-324 "},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(printItem(c.value), c.text) << c.value;
        const double back = parseNumber(shortestNumber(c.value));
        EXPECT_TRUE(back != 0 && std::isfinite(back)) << c.text;
        EXPECT_EQ(shortestNumber(back), shortestNumber(c.value)) << c.text;
    }
}

} // namespace
} // namespace qv::common
