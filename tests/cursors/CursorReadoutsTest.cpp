#include "CursorFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv::cursors {
namespace {

// Readouts over a cursor state of the test's own making.
struct ReadoutFixture : testing::CursorFixture {
    CursorState state;
    CursorReadouts readouts{form, scales, view, state};

    void settings(int model, double gainIndex, double timeIndex) {
        form.v.MeterModelCode = static_cast<std::int16_t>(model);
        form.wave.DsoParam[2] = gainIndex;
        form.wave.DsoParam[0] = timeIndex;
    }
    void xCursors(int shown1, int x1, int shown2, int x2) {
        state.Cursor1Shown = static_cast<std::int16_t>(shown1);
        state.TimeCursor1X = static_cast<std::int16_t>(x1);
        state.Cursor2Shown = static_cast<std::int16_t>(shown2);
        state.TimeCursor2X = static_cast<std::int16_t>(x2);
    }
    void yCursors(int shown1, int y1, int shown2, int y2) {
        state.Cursor1Shown = static_cast<std::int16_t>(shown1);
        state.LevelCursor1Y = static_cast<std::int16_t>(y1);
        state.Cursor2Shown = static_cast<std::int16_t>(shown2);
        state.LevelCursor2Y = static_cast<std::int16_t>(y2);
    }
};

TEST(CursorReadouts, TimeCursors) {
    const struct {
        const char *name;
        int model;
        double timeIndex;
        int shown1, x1, shown2, x2;
        const char *first, *second;
    } cases[] = {
        {"1 ms/div, 400 twips", 0, 13, 1, 1000, 1, 1400, "dt=1.0ms", "1/dt=1kHz"},
        {"same x", 0, 13, 1, 1000, 1, 1000, "dt=0.0ms", "1/dt= ??"},
        {"below 1 kHz", 0, 13, 1, 150, 1, 5270, "dt=12.8ms", "1/dt=78.125Hz "},
        {"seconds", 0, 4, 1, 5270, 1, 150, "dt=12.8s", "1/dt=78.125mHz"},
        {"50 ns/div", 3, 26, 1, 1000, 1, 1400, "dt=50.0ns", "1/dt=20MHz"},
        {"0.5 us/div", 0, 23, 1, 1000, 1, 1400, "dt=0.5us", "1/dt=2MHz"},
        {"empty time base", 0, 25, 1, 1000, 1, 1400, "dt=??", "1/dt= ??"},
    };
    for (const auto &c : cases) {
        ReadoutFixture f;
        f.settings(c.model, 7, c.timeIndex);
        f.xCursors(c.shown1, c.x1, c.shown2, c.x2);
        f.readouts.t_measurement();
        EXPECT_EQ(f.readoutAt(2000), c.first) << c.name;
        EXPECT_EQ(f.readoutAt(3500), c.second) << c.name;
        EXPECT_EQ(f.readouts.DeltaTimeText, c.first) << c.name;
        EXPECT_EQ(f.readouts.InverseDeltaTimeText, c.second) << c.name;
    }
}

TEST(CursorReadouts, LevelAtOneTimeCursor) {
    const struct {
        int shown1, x1, shown2, x2;
        double sample;
        int index;
        const char *text;
    } cases[] = {
        {1, 150 + 20 * 40, 0, 0, 25, 40, "V=5V"},
        {0, 0, 1, 150 + 20 * 40, -12.5, 40, "V=-2.5V"},
        {1, 5270, 0, 0, 7, 256, "V=1.4V"},
        {0, 4000, 0, 4000, 25, 0, "V=5V"}, // a middle click with no cursor reads sample 0
    };
    for (const auto &c : cases) {
        ReadoutFixture f;
        f.settings(0, 7, 13); // 2 V/div
        f.form.wave.WaveData[c.index] = c.sample;
        f.xCursors(c.shown1, c.x1, c.shown2, c.x2);
        f.readouts.t_measurement();
        EXPECT_EQ(f.readouts.TimeCursorLevelText, c.text);
        EXPECT_EQ(f.readoutAt(2000), c.text);
        EXPECT_EQ(f.readoutAt(3500), "");
    }
}

TEST(CursorReadouts, LevelCursorsInTheWaveformView) {
    const struct {
        int model;
        double gainIndex;
        int shown1, y1, shown2, y2;
        const char *text;
    } cases[] = {
        {4, 11, 1, 1000, 1, 1200, "dV=25.0mV"}, // 50 mV/div, half a division
        {0, 7, 1, 1700, 0, 0, "V=4.0V"},
        {0, 7, 0, 0, 1, 2900, "V=-2.0V"},
        {0, 7, 0, 0, 0, 0, "V=0.0V"},
    };
    for (const auto &c : cases) {
        ReadoutFixture f;
        f.settings(c.model, c.gainIndex, 13);
        f.yCursors(c.shown1, c.y1, c.shown2, c.y2);
        f.readouts.V_measurement();
        EXPECT_EQ(f.readouts.LevelCursorText, c.text);
        EXPECT_EQ(f.readoutAt(2000), c.text);
    }
}

TEST(CursorReadouts, FrequencyCursors) {
    const struct {
        int scale;
        double freqPerDiv;
        int shown1, x1, shown2, x2;
        const char *frequency, *level;
    } cases[] = {
        {0, 781.25, 1, 150 + 400, 0, 0, "f=781.25Hz ", "F=1.0V"},
        {1, 781.25, 0, 0, 1, 150 + 400, "f=781.25Hz ", "F=-12.35dB"},
        {0, 781.25, 1, 1000, 1, 1400, "df=781.25Hz ", ""},
        {0, 0, 1, 150 + 400, 0, 0, "f=??", "F=1.0V"},
        {0, 0, 1, 1000, 1, 1400, "df=??", ""},
        {0, 781.25, 0, 0, 0, 0, "f=0.0Hz ", "F=0.4V"}, // no cursor: line 0
    };
    for (const auto &c : cases) {
        ReadoutFixture f;
        f.settings(0, 7, 13);
        f.form.v.SpectrumLogScale = c.scale;
        f.view.Spectrum[0] = 2;
        f.view.Spectrum[10] = c.scale == 1 ? -12.345 : 5;
        f.view.SpectrumFreqPerDiv = c.freqPerDiv;
        f.view.SpectrumFreqUnit = "Hz ";
        f.readouts.SpectrumLevelText = "";
        f.xCursors(c.shown1, c.x1, c.shown2, c.x2);
        f.readouts.f_measurement();
        EXPECT_EQ(f.readouts.FrequencyCursorText, c.frequency);
        EXPECT_EQ(f.readoutAt(2000), c.frequency);
        EXPECT_EQ(f.readouts.SpectrumLevelText, c.level);
        EXPECT_EQ(f.readoutAt(3500), c.level);
    }
}

TEST(CursorReadouts, LevelCursorsInTheSpectrumView) {
    const struct {
        int scale;
        int shown1, y1, shown2, y2;
        const char *text;
    } cases[] = {
        {1, 1, 1700, 0, 0, "F=20.0dB"},     {1, 0, 0, 1, 3300, "F=-20.0dB"},
        {1, 1, 1000, 1, 1400, "dF=10.0dB"}, {0, 1, 3700, 0, 0, "F=0.25V"},
        {0, 1, 1000, 1, 1400, "dF=0.13V"},  {0, 0, 0, 0, 0, "F=0.0V"},
    };
    for (const auto &c : cases) {
        ReadoutFixture f;
        f.settings(0, 7, 13);
        f.form.v.SpectrumLogScale = c.scale;
        f.view.SpectrumAmplPerDiv = 0.125;
        f.yCursors(c.shown1, c.y1, c.shown2, c.y2);
        f.readouts.FV_measurement();
        EXPECT_EQ(f.readouts.SpectrumLevelText, c.text);
        EXPECT_EQ(f.readoutAt(2000), c.text);
    }
}

TEST(CursorReadouts, EachReadoutBlanksTheStripFirst) {
    ReadoutFixture f;
    f.settings(0, 7, 13);
    f.form.el.Picture1.setForeColor(common::kRed);
    f.readouts.V_measurement();
    const auto &ops = f.form.el.Picture1.ops();
    ASSERT_GE(ops.size(), 3u);
    EXPECT_TRUE(std::holds_alternative<common::BoxOp>(ops[ops.size() - 2]));
    EXPECT_EQ(std::get<common::TextOp>(ops.back()).color, common::kBlack);
}

TEST(CursorReadouts, HostileSettingsGiveTextsWithoutFault) {
    const double hostile[] = {NAN, -1, 1e300, 30.5, -1e300};
    for (double v : hostile) {
        ReadoutFixture f;
        f.settings(20, v, v);
        f.form.wave.DsoParam[0] = v;
        for (int scale : {0, 1}) {
            f.form.v.SpectrumLogScale = scale;
            f.xCursors(1, 1000, 1, 1400);
            f.readouts.t_measurement();
            f.readouts.f_measurement();
            f.xCursors(1, 5270, 0, 0);
            f.readouts.t_measurement();
            f.readouts.f_measurement();
            f.yCursors(1, 500, 1, 4500);
            f.readouts.V_measurement();
            f.readouts.FV_measurement();
        }
        EXPECT_EQ(f.readouts.InverseDeltaTimeText, "1/dt= ??") << v;
        EXPECT_EQ(f.readouts.FrequencyCursorText, "f=??") << v;
    }
}

} // namespace
} // namespace qv::cursors
