#include "dso/FrameHistory.h"
#include "dso/ReferenceTrace.h"

#include <gtest/gtest.h>

namespace qv::dso {
namespace {

HistoryFrame frame(double mark) {
    HistoryFrame f{{}, 0, "7302", "10:15:03"};
    f.wave.WaveData.fill(mark);
    return f;
}

std::vector<double> marks(const FrameHistory &h) {
    std::vector<double> out;
    for (std::size_t i = 0; i < h.size(); ++i)
        out.push_back(h.at(i).wave.WaveData[0]);
    return out;
}

TEST(FrameHistory, KeepsTheNewestFramesOldestFirstNoneAtZeroAHundredByDefault) {
    FrameHistory h(3);
    for (int i = 1; i <= 5; ++i)
        h.add(frame(i));
    EXPECT_EQ(marks(h), (std::vector<double>{3, 4, 5}));
    h.setCapacity(2); // shrinking keeps the newest
    EXPECT_EQ(marks(h), (std::vector<double>{4, 5}));
    h.setCapacity(4);
    h.add(frame(6));
    EXPECT_EQ(marks(h), (std::vector<double>{4, 5, 6}));
    h.setCapacity(0);
    h.add(frame(7));
    EXPECT_TRUE(h.empty());
    EXPECT_EQ(FrameHistory(FrameHistory::kMaxCapacity + 1).capacity(), FrameHistory::kMaxCapacity);
    FrameHistory hundred; // the default: 100 frames
    for (int i = 0; i < 250; ++i)
        hundred.add(frame(i));
    EXPECT_EQ(marks(hundred).front(), 150);
}

/// The reference's line points, the first line's start first, on a fresh target; its label
/// inside the frame's top left corner.
std::vector<std::pair<double, double>> drawn(const WaveInput &ref, const WaveInput &live) {
    common::DrawingTarget target;
    drawReference(target, common::ScreenGeometry{}, ref, live, "REF");
    std::vector<std::pair<double, double>> ends;
    for (const auto &op : target.ops())
        if (const auto *text = std::get_if<common::TextOp>(&op))
            EXPECT_EQ(std::tuple(text->x, text->y, text->text, text->color),
                      std::tuple(190.0, 540.0, "REF", kReferenceColor));
        else if (const auto *line = std::get_if<common::LineOp>(&op)) {
            EXPECT_EQ(line->color, kReferenceColor);
            if (ends.empty())
                ends.emplace_back(line->x1, line->y1);
            ends.emplace_back(line->x2, line->y2);
        }
    return ends;
}

TEST(ReferenceTrace, IsDrawnToTheLiveScalesClippedAtTheScreenItsLabelNamesItsScales) {
    const std::vector<double> points(256, 10); // one division up
    const WaveInput same{points, 0, 0.1, 1e-6};
    // Same scales: 20 twips a point up to the trace's end at 5210, one division above centre.
    auto ends = drawn(same, same);
    ASSERT_EQ(ends.size(), 251u);
    EXPECT_EQ(std::pair(ends.front(), ends.back()),
              std::pair(std::pair(210.0, 2100.0), std::pair(5210.0, 2100.0)));
    // Live at half the V/div, twice the s/div, one division up: two above its zero, half as wide.
    ends = drawn(same, {points, 10, 0.05, 2e-6});
    ASSERT_EQ(ends.size(), 256u);
    EXPECT_EQ(ends.back(), std::pair(210.0 + 255 * 10, 1300.0));
    // Ten times the volts: clamped to the top edge; half the time per division: cut at 5210.
    ends = drawn({points, 0, 1.0, 1e-6}, {points, 0, 0.1, 0.5e-6});
    ASSERT_EQ(ends.size(), 126u);
    EXPECT_EQ(ends.back(), std::pair(5210.0, 500.0));
    // A slope cut between points 87 and 88: the last stretch ends on it at 5210 (point 87.5).
    std::vector<double> ramp(256);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<double>(i) / 10;
    ends = drawn({ramp, 0, 0.1, 1e-6}, {ramp, 0, 0.1, 0.35e-6});
    EXPECT_EQ(ends.back().first, 5210.0);
    EXPECT_NEAR(ends.back().second, 2150.0, 1e-6);
    // An unknown scale, or none: the reference as it was taken.
    for (const std::optional<double> volts : {std::optional<double>(), std::optional(0.0)})
        EXPECT_EQ(drawn({points, 0, volts, 1e-6}, {points, 0, 0.05, 1e-6}).back(),
                  std::pair(5210.0, 2100.0));
    // The label names its scales.
    const ScaleTables tables;
    common::Waveform wave;
    wave.DsoParam[0] = 13, wave.DsoParam[2] = 7; // 1 ms/div, 2 V/div
    EXPECT_EQ(referenceLabel(wave, 0, tables), "REF 2V/div 1ms/div");
    wave.DsoParam[2] = 99;
    EXPECT_EQ(referenceLabel(wave, 0, tables), "REF ?? 1ms/div");
}

} // namespace
} // namespace qv::dso
