#include "link/MeterSimulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace qv::link {
namespace {

std::string text(const Packet &p) {
    return std::string(p.begin() + 1, p.begin() + 17);
}

TEST(MeterSimulatorTest, ReadingTextIsSixValueAndTenUnitCharacters) {
    const std::tuple<double, int, std::string> cases[] = {
        {3.3, 0, " 3.300 V  DC    "},      {-0.0425, 0, "-0.043 V  DC    "},
        {125.04, 1, " 125.0 mV AC    "},   {1234.7, 1, "  1235 mV AC    "},
        {99999999, 1, " OL.   mV AC    "}, {23.5, 99, "  23.5 C  TEMP  "}};
    for (const auto &[value, function, expected] : cases)
        EXPECT_EQ(DmmPacketSource::readingText(value, function), expected) << value;
}

TEST(MeterSimulatorTest, LiveReadingsArePrintableAndVarySlowly) {
    MeterSimulator sim({.mode = SimMode::Dmm, .model = 3, .seed = 4});
    double previous = 3.3;
    for (int k = 0; k < 500; ++k) {
        const Packet p = sim.nextPacket();
        ASSERT_EQ(p[0], 0xFF);
        ASSERT_EQ(p[17], 3);
        ASSERT_EQ(p[18], 0);
        for (int i = 1; i <= 16; ++i)
            ASSERT_TRUE(p[i] >= 0x20 && p[i] <= 0x7E);
        const double value = std::atof(text(p).substr(0, 6).c_str());
        EXPECT_NEAR(value, 3.3, 0.3);
        EXPECT_TRUE(k == 0 || std::fabs(value - previous) < 0.03) << previous << " to " << value;
        previous = value;
    }
}

TEST(MeterSimulatorTest, MemoryPlaybackSendsMessagesThenNumberedReadings) {
    constexpr int kStored = DmmPacketSource::kStoredReadings;
    constexpr int kLive = DmmPacketSource::kLiveBetween;
    MeterSimulator sim({.mode = SimMode::DmmMemory});
    std::string modes;
    std::vector<std::string> texts;
    for (int k = 0; k < 3 + kStored + kLive; ++k) {
        const Packet p = sim.nextPacket();
        modes += char('0' + p[18]);
        texts.push_back(text(p));
        EXPECT_TRUE(p[18] != 1 || p[19] == k - 2) << "stored reading " << k - 2;
    }
    EXPECT_EQ(modes, "22" + std::string(kStored, '1') + "2" + std::string(kLive, '0'));
    EXPECT_EQ(texts[0], "Data start      ");
    EXPECT_EQ(texts[1].substr(0, 3), "   ");
    EXPECT_EQ(texts[2 + kStored].substr(0, 6), "Data e");
    EXPECT_EQ(text(sim.nextPacket()), "Data start      ") << "the play-back repeats";
}

TEST(MeterSimulatorTest, ScopeFramesCarryTheirSettings) {
    const std::pair<SimMode, std::vector<int>> cases[] = {{SimMode::Dso, {3, 3, 3}},
                                                          {SimMode::DsoMemory, {4, 5, 4}}};
    for (const auto &[mode, workModes] : cases) {
        DsoSignal s{.timeBase = 24, .gain = 9, .triggerPos = -20, .verticalPos = 12, .slope = 0};
        s.level = -8;
        s.zeroLevel = 120;
        MeterSimulator sim({.mode = mode, .model = 5, .dso = s});
        for (std::size_t frame = 0; frame < workModes.size(); ++frame) {
            for (int n = 1; n <= 17; ++n) {
                const Packet p = sim.nextPacket();
                ASSERT_EQ(p[0], 0xFF);
                EXPECT_EQ(p[17], 5);
                EXPECT_EQ(p[18], workModes[frame]);
                EXPECT_EQ(p[19], n);
                for (int i = 1; i < 20; ++i)
                    ASSERT_NE(p[i], 0xFF) << "a payload byte would look like a sync byte";
                const int memory = mode == SimMode::DsoMemory ? int(frame + 1) : 0;
                if (n == 1) {
                    EXPECT_EQ(std::vector<int>(p.begin() + 1, p.begin() + 10),
                              std::vector<int>({24, 108, 9, 140, 1, 0, 120, 120, memory}));
                }
            }
        }
    }
}

} // namespace
} // namespace qv::link
