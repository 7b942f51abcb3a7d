#include "dso/Measurements.h"
#include "Ops.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace qv::dso {
namespace {

using test::textsAt;

double square(int i, int half, double lo, double hi) {
    return (i / half) % 2 ? hi : lo;
}

struct Case {
    const char *name;
    std::function<double(int)> wave;
    int model;
    double gain, timeBase, level;
    const char *pp, *avg, *rms, *db, *freq;
};

// Model 3: gain 8 is 1 V/div (0.1 V per unit), 11 is 0.1 V/div, 12 is 40 mV/div; time base 10 is
// 10 ms/div, 0 is 20 s/div, 26 is 50 ns/div. Model 4: gain 11 is 50 mV/div.
const Case kCases[] = {
    {"flat", [](int) { return 10.0; }, 3, 8, 10, 0, " 0 Vp-p", " 1 Vavg", " 1 Vrms", " 2.21 dB",
     "?? Hz"},
    {"all zero", [](int) { return 0.0; }, 3, 8, 10, 0, " 0 Vp-p", " 0 Vavg", " 0 Vrms", "?? dB",
     "?? Hz"},
    {"square rising", [](int i) { return square(i, 20, -10, 10); }, 3, 8, 10, 0, " 2 Vp-p",
     "-0.06 Vavg", " 1 Vrms", " 2.21 dB", " 50 Hz "},
    {"square falling", [](int i) { return square(i, 20, 10, -10); }, 3, 8, 10, 0, " 2 Vp-p",
     " 0.06 Vavg", " 1 Vrms", " 2.21 dB", " 50 Hz "},
    // Rising counting takes its first edge at once (i = 1) and a second at 101.
    {"first edge counted at once", [](int i) { return i == 0             ? 1.0
                                                      : i < 50 || i > 99 ? 10
                                                                         : -10; },
     3, 8, 10, 0, " 2 Vp-p", " 0.61 Vavg", " 1 Vrms", " 2.21 dB", " 20 Hz "},
    // Starting at upper counts falling edges: only one (at 51).
    {"single falling edge", [](int i) { return i == 0             ? 2.0
                                               : i < 50 || i > 99 ? 10
                                                                  : -10; }, 3, 8,
     10, 0, " 2 Vp-p", " 0.61 Vavg", " 1 Vrms", " 2.21 dB", "?? Hz"},
    {"noise inside hysteresis", [](int i) { return (i % 3 - 1) * 2.0; }, 3, 8, 10, 0, " 0.4 Vp-p",
     " 0 Vavg", " 0.16 Vrms", "-13.7 dB", "?? Hz"},
    {"trigger level moves the band", [](int i) { return square(i, 20, 0, 20); }, 3, 8, 10, 10,
     " 2 Vp-p", " 0.94 Vavg", " 1.37 Vrms", " 4.95 dB", " 50 Hz "},
    {"millivolt range 775 mV", [](int) { return 193.75; }, 3, 12, 10, 0, " 0 mVp-p", " 775 mVavg",
     " 775 mVrms", " 0 dB", "?? Hz"},
    {"volt range 7.75 V", [](int) { return 77.5; }, 3, 8, 10, 0, " 0 Vp-p", " 7.75 Vavg",
     " 7.75 Vrms", " 20 dB", "?? Hz"},
    {"family B index 11 taken as volts", [](int) { return 155.0; }, 4, 11, 10, 0, " 0 mVp-p",
     " 775 mVavg", " 775 mVrms", " 60 dB", "?? Hz"},
    {"slow time base in mHz", [](int i) { return square(i, 20, -10, 10); }, 3, 8, 0, 0, " 2 Vp-p",
     "-0.06 Vavg", " 1 Vrms", " 2.21 dB", " 25 mHz"},
    {"nanosecond time base in MHz", [](int i) { return square(i, 20, -10, 10); }, 3, 8, 26, 0,
     " 2 Vp-p", "-0.06 Vavg", " 1 Vrms", " 2.21 dB", " 10 MHz"},
    {"model without scales", [](int i) { return square(i, 20, -10, 10); }, 9, 8, 10, 0, " 0 p-p",
     " 0 avg", " 0 rms", "?? dB", "?? Hz"},
    {"ties rounded away from zero", [](int i) { return i == 0 ? 12.55 : 0.0; }, 3, 8, 10, 100,
     " 1.26 Vp-p", " 0 Vavg", " 0.08 Vrms", "-19.72 dB", "?? Hz"},
    {"hostile values", [](int i) { return i == 7 ? 1e300 : std::nan(""); }, 3, 8, 10, 0,
     " NaN Vp-p", " NaN Vavg", " NaN Vrms", "?? dB", "?? Hz"},
};

TEST(Measurements, ReadoutsOnTheScopeScreen) {
    for (const Case &c : kCases) {
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        ScaleTables tables;
        Measurements m(form, tables);
        for (int i = 0; i <= 256; ++i)
            form.wave.WaveData[i] = c.wave(i);
        form.v.MeterModelCode = static_cast<std::int16_t>(c.model);
        form.wave.DsoParam[0] = c.timeBase;
        form.wave.DsoParam[2] = c.gain;
        form.wave.DsoParam[6] = c.level;
        m.Display_Measurement();
        auto texts = textsAt(form.el.Picture1);
        const auto at = [&texts](double x, double y) { return texts[{x, y}]; };
        EXPECT_EQ(at(100, 4550), c.pp) << c.name;
        EXPECT_EQ(at(1600, 4550), c.avg) << c.name;
        EXPECT_EQ(at(3100, 4550), c.rms) << c.name;
        EXPECT_EQ(at(4600, 4550), c.db) << c.name;
        EXPECT_EQ(at(100, 4750), c.freq) << c.name;
        if (std::string(c.freq) == "?? Hz")
            EXPECT_EQ(m.MeasFrequency, 0) << c.name;
        EXPECT_EQ(form.el.Picture1.foreColor(), common::kBlack);
    }
}

TEST(Measurements, ExtremesOfTheLastPass) {
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    ScaleTables tables;
    Measurements m(form, tables);
    for (int i = 0; i <= 256; ++i)
        form.wave.WaveData[i] = i == 256 ? 999 : i - 100; // point 256 is not measured
    m.measure();
    EXPECT_EQ(m.WaveMax, 155);
    EXPECT_EQ(m.WaveMin, -100);
}

TEST(Measurements, PrintedReadoutsUseTheStoredValues) {
    const struct {
        double pp, avg, rms, freq;
        int unit;
        const char *ppText, *avgText, *rmsText, *dbText, *freqText;
    } cases[] = {
        {2.5, 3.0, 0.775, 1.953, 2, " 2.5 Vp-p", " 3 Vavg", " 0.775 Vrms", " 0 dB", " 1.953 kHz"},
        {0, -1.5, 0, 0, 2, " 0 Vp-p", "-1.5 Vavg", " 0 Vrms", "?? dB", "?? Hz"},
    };
    for (const auto &c : cases) {
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        ScaleTables tables;
        form.v.MeterModelCode = 3;
        form.wave.DsoParam[2] = 8;
        Measurements m(form, tables);
        m.MeasPeakToPeak = c.pp;
        m.MeasAverage = c.avg;
        m.MeasRms = c.rms;
        m.MeasFrequency = c.freq;
        m.MeasFrequencyUnit = c.unit;
        common::DrawingTarget page;
        page.setOrigin(-1000, -1000);
        page.setForeColor(common::kRed);
        m.Print_Measurement(page);
        auto texts = textsAt(page);
        const auto at = [&texts](double x, double y) { return texts[{x, y}]; };
        EXPECT_EQ(at(100, 4550), c.ppText);
        EXPECT_EQ(at(1600, 4550), c.avgText);
        EXPECT_EQ(at(3100, 4550), c.rmsText);
        EXPECT_EQ(at(4600, 4550), c.dbText);
        EXPECT_EQ(at(100, 4750), c.freqText);
        EXPECT_EQ(page.foreColor(), common::kBlack);
        EXPECT_TRUE(form.el.Picture1.ops().size() == 1); // the screen is not touched
    }
}

} // namespace
} // namespace qv::dso
