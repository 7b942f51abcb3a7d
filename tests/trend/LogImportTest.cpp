#include "trend/LogImport.h"

#include <gtest/gtest.h>

#include <random>

namespace qv::trend {
namespace {

TEST(LogImport, TimesOfDay) {
    struct Case {
        const char *text;
        double seconds; // -1: not a time
    };
    const Case cases[] = {
        {"14:03:27", 50607},    {"9:05:00", 32700}, {" 00:00:00 ", 0},
        {"2:03:27 PM", 50607},  {"12:00:01 AM", 1}, {"下午2:03:27", 50607},
        {"上午12:30:00", 1800}, {"24:00:00", -1},   {"14:60:00", -1},
        {"14:03", -1},          {"1:2:3:4", -1},    {"13:00:00 PM", -1},
        {"No.5", -1},           {"", -1},           {"123:00:00", -1},
    };
    for (const Case &c : cases) {
        const auto s = secondsOfDay(c.text);
        if (c.seconds < 0)
            EXPECT_FALSE(s) << c.text;
        else
            EXPECT_EQ(s.value_or(-1), c.seconds) << c.text;
    }
}

TEST(LogImport, LinesPlacedBeforeTheirEndAcrossMidnight) {
    const std::string log = "  23:59:58    3.301  V  DC     \r\n"
                            "  No.5 :   3.300 V  DC     \r\n" // play-back: no time
                            "  23:59:59     OL.   V  DC     \r\n"
                            "garbage\r\n"
                            "  00:00:01    3.305  V  DC     \r\n"
                            "  00:00:02    125.0  mV DC";
    constexpr double kDayStart = 1796601600; // 2026-12-07 00:00 UTC
    TrendModel m;
    // Saved at 00:10 on the 7th: the first line was on the 6th.
    EXPECT_EQ(importLog(log, {kDayStart + 600, kDayStart}, m), 4u);
    ASSERT_EQ(m.series().size(), 2u);
    const Series &volts = m.series()[0];
    ASSERT_EQ(volts.points.size(), 3u);
    EXPECT_EQ(volts.points[0].t, kDayStart - 2);
    EXPECT_TRUE(volts.points[1].isGap());
    EXPECT_EQ(volts.points[2].t, kDayStart + 1);
    EXPECT_DOUBLE_EQ(volts.points[2].v, 3.305);
    EXPECT_EQ(m.series()[1].points[0].t, kDayStart + 2);

    // Saved a second before the last line's time of day: the log ended the day before.
    TrendModel earlier;
    (void)importLog(log, {kDayStart + 1, kDayStart}, earlier);
    EXPECT_EQ(earlier.series()[1].points[0].t, kDayStart + 2 - 86400);
    TrendModel none;
    EXPECT_EQ(importLog("no log here\r\n", {kDayStart, kDayStart}, none), 0u);
}

TEST(LogImport, RecordFileSplitsIntoHeaderAndLog) {
    const std::string file = "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\n"
                             "QM520V DMM Record: bench\r\n\r\n"
                             "  14:00:00    3.301  V  DC     \r\n\r\n";
    const auto record = splitRecordFile(file);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->savedDate, "2026-12-07");
    EXPECT_EQ(record->savedTime, "14:03:27");
    EXPECT_EQ(record->log, "  14:00:00    3.301  V  DC     \r\n\r\n");
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V1.0\r\n2026-12-07\r\n"));
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V2.0\r\n1\r\n2\r\n3\r\n\r\n"));
}

TEST(LogImport, ArbitraryBytesAddOnlyWellFormedReadings) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> byte(0, 255), pick(0, 3);
    const std::string pieces[] = {"  ", "    ", ":", "\r\n"};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = 0; i < 400; ++i)
            text += pick(rng) == 0 ? pieces[pick(rng)] : std::string(1, char(byte(rng)));
        TrendModel m;
        const std::size_t n = importLog(text, {1e9, 1e9 - 3600}, m);
        EXPECT_LE(m.pointCount(), n);
        for (const Series &s : m.series())
            for (const Point &p : s.points)
                EXPECT_LE(p.t, 1e9);
        (void)splitRecordFile(text);
    }
}

} // namespace
} // namespace qv::trend
