#include "files/LeadingNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace qv::files {
namespace {

TEST(LeadingNumber, ReadsTheNumberALineStartsWith) {
    const std::string manyDigits = "1" + std::string(400, '0');
    const std::string tinyDigits = "0." + std::string(400, '0') + "1";
    const struct {
        std::string line;
        std::optional<double> value;
    } cases[] = {
        // print items as written
        {" 2.5 ", 2.5},
        {"-3 ", -3.0},
        {" 0 ", 0.0},
        {" 1.5E+20 ", 1.5e20},
        {" 1E-12 ", 1e-12},
        {" 0.333333333333333 ", 0.333333333333333},
        // blanks before the number, text after it
        {"\t 7", 7.0},
        {"  12abc", 12.0},
        {"1 2", 1.0},
        {"1.5.5", 1.5},
        {"1,5", 1.0},
        {"4e3x", 4000.0},
        {"1e-3", 0.001},
        {"2E2", 200.0},
        // signs and points
        {"+4", 4.0},
        {".5", 0.5},
        {"-.25", -0.25},
        {"5.", 5.0},
        {"-0", -0.0},
        // exponents that cannot continue the number
        {"1e", 1.0},
        {"1e+", 1.0},
        {"3E-x", 3.0},
        // no number at all
        {"", 0.0},
        {"abc", 0.0},
        {"-", 0.0},
        {".", 0.0},
        {"- 3", 0.0},
        {"Inf", 0.0},
        {"NaN", 0.0},
        {"0x10", 0.0},
        {"\r", 0.0},
        // beyond a double: too large is unreadable, too small is 0
        {"1e400", std::nullopt},
        {"-1e400", std::nullopt},
        {manyDigits, std::nullopt},
        {"1e99999999999999999999999", std::nullopt},
        {"1e-400", 0.0},
        {tinyDigits, 0.0},
        {"1e-99999999999999999999", 0.0},
        {"0e99999", 0.0},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"99999999999999999999", 1e20},
    };
    for (const auto &c : cases) {
        const auto got = leadingNumber(c.line);
        ASSERT_EQ(got.has_value(), c.value.has_value()) << "[" << c.line << "]";
        if (!got)
            continue;
        EXPECT_EQ(*got, *c.value) << "[" << c.line << "]";
        EXPECT_EQ(std::signbit(*got), std::signbit(*c.value)) << "[" << c.line << "]";
    }
}

} // namespace
} // namespace qv::files
