#include "link/MeterSimulator.h"
#include "link/DsoFrameSource.h"

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

TEST(MeterSimulatorTest, ModeNames) {
    const std::vector<std::pair<std::string, std::optional<SimMode>>> cases{
        {"dmm", SimMode::Dmm},
        {"dso", SimMode::Dso},
        {"dso-memory", SimMode::DsoMemory},
        {"dmm-memory", SimMode::DmmMemory},
        {"DSO", std::nullopt},
        {"", std::nullopt}};
    for (const auto &[name, mode] : cases)
        EXPECT_EQ(parseSimMode(name), mode) << name;
}

TEST(MeterSimulatorTest, ReadingTextIsSixValueAndTenUnitCharacters) {
    const std::vector<std::tuple<double, int, std::string>> cases{
        {3.3, 0, " 3.300 V  DC    "},      {-0.0425, 0, "-0.043 V  DC    "},
        {125.04, 1, " 125.0 mV AC    "},   {1234.7, 1, "  1235 mV AC    "},
        {99999999, 1, " OL.   mV AC    "}, {23.5, 99, "  23.5 C  TEMP  "}};
    for (const auto &[value, function, expected] : cases)
        EXPECT_EQ(DmmPacketSource::readingText(value, function), expected) << value;
}

TEST(MeterSimulatorTest, LiveReadingsArePrintableAndVarySlowly) {
    MeterSimulator sim({.mode = SimMode::Dmm, .model = 3, .seed = 4});
    double previous = std::nan("");
    for (int k = 0; k < 500; ++k) {
        const Packet p = sim.nextPacket();
        EXPECT_EQ(p[0], 0xFF);
        EXPECT_EQ(p[17], 3);
        EXPECT_EQ(p[18], 0);
        for (int i = 1; i <= 16; ++i)
            ASSERT_TRUE(p[i] >= 0x20 && p[i] <= 0x7E);
        const double value = std::atof(text(p).substr(0, 6).c_str());
        EXPECT_NEAR(value, 3.3, 0.3);
        if (!std::isnan(previous)) {
            EXPECT_LT(std::fabs(value - previous), 0.03);
        }
        previous = value;
    }
}

TEST(MeterSimulatorTest, MemoryPlaybackSendsMessagesThenNumberedReadings) {
    MeterSimulator sim({.mode = SimMode::DmmMemory});
    std::vector<Packet> cycle;
    for (int k = 0; k < 2 + DmmPacketSource::kStoredReadings + 1 + DmmPacketSource::kLiveBetween;
         ++k)
        cycle.push_back(sim.nextPacket());
    EXPECT_EQ(cycle[0][18], 2);
    EXPECT_EQ(text(cycle[0]), "Data start      ");
    EXPECT_EQ(cycle[1][18], 2);
    EXPECT_EQ(text(cycle[1]).substr(0, 3), "   ");
    for (int n = 0; n < DmmPacketSource::kStoredReadings; ++n) {
        const Packet &p = cycle[static_cast<size_t>(2 + n)];
        EXPECT_EQ(p[18], 1);
        EXPECT_EQ(p[19], n);
    }
    const Packet &end = cycle[2 + DmmPacketSource::kStoredReadings];
    EXPECT_EQ(end[18], 2);
    EXPECT_EQ(text(end).substr(0, 6), "Data e");
    EXPECT_EQ(cycle.back()[18], 0);
    EXPECT_EQ(text(sim.nextPacket()), "Data start      ") << "the play-back repeats";
}

TEST(MeterSimulatorTest, ScopeFramesCarryTheirSettings) {
    const std::vector<std::pair<SimMode, std::vector<int>>> cases{{SimMode::Dso, {3, 3, 3}},
                                                                  {SimMode::DsoMemory, {4, 5, 4}}};
    for (const auto &[mode, workModes] : cases) {
        DsoSignal s{.timeBase = 24,
                    .gain = 9,
                    .triggerPos = -20,
                    .verticalPos = 12,
                    .coupling = 1,
                    .slope = 0,
                    .level = -8,
                    .zeroLevel = 120};
        MeterSimulator sim({.mode = mode, .model = 5, .dso = s});
        for (size_t frame = 0; frame < workModes.size(); ++frame) {
            for (int n = 1; n <= 17; ++n) {
                const Packet p = sim.nextPacket();
                EXPECT_EQ(p[0], 0xFF);
                EXPECT_EQ(p[17], 5);
                EXPECT_EQ(p[18], workModes[frame]);
                EXPECT_EQ(p[19], n);
                for (int i = 1; i < 20; ++i)
                    ASSERT_NE(p[i], 0xFF) << "a payload byte would look like a sync byte";
                if (n != 1)
                    continue;
                const std::vector<int> header{24, 108, 9, 140, 1, 0, 120, 120};
                for (size_t k = 0; k < header.size(); ++k)
                    EXPECT_EQ(p[k + 1], header[k]) << "header byte " << k + 1;
                EXPECT_EQ(p[9], mode == SimMode::DsoMemory ? int(frame + 1) : 0);
            }
        }
    }
}

TEST(MeterSimulatorTest, WaveformCrossesTheTriggerLevelWhereTheTriggerIs) {
    for (WaveShape shape : {WaveShape::Sine, WaveShape::Square, WaveShape::Triangle}) {
        for (int slope : {0, 1, 2, 3}) {
            for (int pos : {-60, -5, 0, 30, 60}) {
                for (int level : {-20, 0, 7}) {
                    const DsoSignal s{.triggerPos = pos,
                                      .slope = slope,
                                      .level = level,
                                      .shape = shape,
                                      .amplitude = 30,
                                      .period = 40};
                    const auto data = DsoFrameSource::samples(s);
                    const int after = DsoFrameSource::triggerSample(s);
                    const int a = data[static_cast<size_t>(after)] - s.zeroLevel;
                    const int b = data[static_cast<size_t>(after - 1)] - s.zeroLevel;
                    SCOPED_TRACE(::testing::Message() << int(shape) << " slope " << slope << " pos "
                                                      << pos << " level " << level);
                    if (DsoFrameSource::rising(slope)) {
                        EXPECT_LT(b, level);
                        EXPECT_GE(a, level);
                    } else {
                        EXPECT_GE(b, level);
                        EXPECT_LT(a, level);
                    }
                    for (std::uint8_t v : data)
                        ASSERT_LE(v, 254);
                }
            }
        }
    }
}

TEST(MeterSimulatorTest, ByteStreamStartsMidPacketAndContinuesSeamlessly) {
    const SimOptions options{.mode = SimMode::Dso, .seed = 2, .startOffset = 13};
    MeterSimulator bytes(options), packets(options);
    std::vector<std::uint8_t> expected;
    for (int k = 0; k < 40; ++k) {
        const Packet p = packets.nextPacket();
        expected.insert(expected.end(), p.begin(), p.end());
    }
    expected.erase(expected.begin(), expected.begin() + 13);
    std::vector<std::uint8_t> got;
    for (std::size_t n : {1u, 6u, 0u, 20u, 77u, 500u}) {
        const auto chunk = bytes.nextBytes(n);
        ASSERT_EQ(chunk.size(), n);
        got.insert(got.end(), chunk.begin(), chunk.end());
    }
    expected.resize(got.size());
    EXPECT_EQ(got, expected);
}

} // namespace
} // namespace qv::link
