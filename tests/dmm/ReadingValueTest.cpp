#include "dmm/ReadingValue.h"

#include <gtest/gtest.h>

#include <optional>

namespace qv::dmm {
namespace {

struct ReadingCase {
    const char *reading;
    std::optional<double> value;
    const char *unit;
};

TEST(ReadingValue, NumberAndUnitOfTheDisplayText) {
    const ReadingCase cases[] = {
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
    for (const ReadingCase &c : cases) {
        const ReadingValue r = parseReading(c.reading);
        EXPECT_EQ(r.value, c.value) << '"' << c.reading << '"';
        EXPECT_EQ(r.unit, c.unit) << '"' << c.reading << '"';
    }
}

struct LineCase {
    const char *line;
    std::optional<LogLine> parsed;
};

bool operator==(const LogLine &a, const LogLine &b) {
    return a.time == b.time && a.reading == b.reading;
}

TEST(ReadingValue, LogLinesSplitIntoTimeAndReading) {
    const LineCase cases[] = {
        // A timed line: one blank between the value field and the unit field.
        {"  14:03:27    -1.234 mV  DC    \r\n", LogLine{"14:03:27", "-1.234mV  DC    "}},
        {"  14:03:28      OL   M ohm     ", LogLine{"14:03:28", "  OL  M ohm     "}},
        // Play-back lines, one- and two-digit record numbers.
        {"  No.5 :   0.123V   AC    \r\n", LogLine{"No.5", " 0.123V   AC    "}},
        {"  No.42:  -0.050V         ", LogLine{"No.42", "-0.050V         "}},
        {"  下午 2:03:27    -1.234 V       ", LogLine{"下午 2:03:27", "-1.234V       "}},
        {"14:03:27    -1.234 V", std::nullopt}, // not indented
        {"  14:03:27", std::nullopt},           // no reading
        {"      -1.234 V", std::nullopt},       // no time
        {"  No.5 -1.234", std::nullopt},        // play-back line without its colon
        {"", std::nullopt},
    };
    for (const LineCase &c : cases) {
        const auto got = parseLogLine(c.line);
        ASSERT_EQ(got.has_value(), c.parsed.has_value()) << '"' << c.line << '"';
        if (got) {
            EXPECT_TRUE(*got == *c.parsed) << got->time << "|" << got->reading;
        }
    }
}

} // namespace
} // namespace qv::dmm
