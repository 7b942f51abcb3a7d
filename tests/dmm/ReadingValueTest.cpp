#include "dmm/ReadingValue.h"

#include <gtest/gtest.h>

#include <optional>

namespace qv::dmm {
namespace {

TEST(ReadingValue, NumberAndUnitOfTheDisplayText) {
    const std::tuple<const char *, std::optional<double>, const char *> cases[] = {
        {"-1.234mV  DC    ", -1.234, "mV  DC"},
        {" 0.000V   AC    ", 0.0, "V   AC"},
        {"+12.34k ohm     ", 12.34, "k ohm"},
        {" 1 234Hz        ", 1234, "Hz"}, // blanks inside the digits are padding
        {"  .5  nF        ", 0.5, "nF"},  // decimal point first
        {"  OL  M ohm     ", std::nullopt, "M ohm"},
        {" -OL  V         ", std::nullopt, "V"},
        {"                ", std::nullopt, ""},  // a blank display
        {"1.2.3 V         ", std::nullopt, "V"}, // two decimal points
        {" -  . mV        ", std::nullopt, "mV"},
        {"5", 5, ""}, // a short text has no unit
        {"", std::nullopt, ""},
    };
    for (const auto &[reading, value, unit] : cases) {
        const ReadingValue r = parseReading(reading);
        EXPECT_EQ(r.value, value) << '"' << reading << '"';
        EXPECT_EQ(r.unit, unit) << '"' << reading << '"';
    }
}

TEST(ReadingValue, LogLinesSplitIntoTimeAndReading) {
    using Split = std::optional<std::pair<std::string, std::string>>;
    const std::pair<const char *, Split> cases[] = {
        // A timed line: one blank between the value field and the unit field.
        {"  14:03:27    -1.234 mV  DC    \r\n", std::pair("14:03:27", "-1.234mV  DC    ")},
        {"  14:03:28      OL   M ohm     ", std::pair("14:03:28", "  OL  M ohm     ")},
        // Play-back lines, one- and two-digit record numbers.
        {"  No.5 :   0.123V   AC    \r\n", std::pair("No.5", " 0.123V   AC    ")},
        {"  No.42:  -0.050V         ", std::pair("No.42", "-0.050V         ")},
        {"  下午 2:03:27    -1.234 V       ", std::pair("下午 2:03:27", "-1.234V       ")},
        {"14:03:27    -1.234 V", std::nullopt}, // not indented
        {"  14:03:27", std::nullopt},           // no reading
        {"      -1.234 V", std::nullopt},       // no time
        {"  No.5 -1.234", std::nullopt},        // play-back line without its colon
        {"", std::nullopt},
    };
    for (const auto &[line, split] : cases) {
        const std::optional<LogLine> got = parseLogLine(line);
        EXPECT_EQ(got ? Split(std::pair(got->time, got->reading)) : std::nullopt, split)
            << '"' << line << '"';
    }
}

} // namespace
} // namespace qv::dmm
