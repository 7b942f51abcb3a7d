#include "trend/LogImport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qv::trend {
namespace {

TEST(LogImport, TimesOfDay) {
    // The seconds of the day; -1: not a time.
    const std::pair<const char *, double> cases[] = {
        {"14:03:27", 50607},    {"9:05:00", 32700}, {" 00:00:00 ", 0},
        {"2:03:27 PM", 50607},  {"12:00:01 AM", 1}, {"下午2:03:27", 50607},
        {"上午12:30:00", 1800}, {"24:00:00", -1},   {"14:60:00", -1},
        {"14:03", -1},          {"1:2:3:4", -1},    {"13:00:00 PM", -1},
        {"No.5", -1},           {"", -1},           {"123:00:00", -1},
    };
    for (const auto &[text, seconds] : cases)
        EXPECT_EQ(secondsOfDay(text).value_or(-1), seconds) << text;
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
    const auto &volts = m.series()[0].points;
    ASSERT_EQ(volts.size(), 3u);
    EXPECT_EQ(std::tuple(volts[0].t, volts[1].isGap(), volts[2].t, m.series()[1].points[0].t),
              std::tuple(kDayStart - 2, true, kDayStart + 1, kDayStart + 2));
    EXPECT_DOUBLE_EQ(volts[2].v, 3.305);

    // Saved a second before the last line's time of day: the log ended the day before.
    TrendModel earlier;
    (void)importLog(log, {kDayStart + 1, kDayStart}, earlier);
    EXPECT_EQ(earlier.series()[1].points[0].t, kDayStart + 2 - 86400);
    TrendModel none;
    EXPECT_EQ(importLog("no log here\r\n", {kDayStart, kDayStart}, none), 0u);
}

TEST(LogImport, RecordFileSplitsIntoHeaderAndLog) {
    const auto record =
        splitRecordFile("QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\n"
                        "QM520V DMM Record: bench\r\n\r\n  14:00:00  3.301 V\r\n\r\n");
    ASSERT_TRUE(record);
    EXPECT_EQ(std::tuple(record->savedDate, record->savedTime, record->log),
              std::tuple("2026-12-07", "14:03:27", "  14:00:00  3.301 V\r\n\r\n"));
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V1.0\r\n2026-12-07\r\n"));
    EXPECT_FALSE(splitRecordFile("QVDATALINK47 V2.0\r\n1\r\n2\r\n3\r\n\r\n"));
}

} // namespace
} // namespace qv::trend
