#include "dso/Reconstruction.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace qv::dso {
namespace {

using Samples = Reconstruction::Samples;

Samples rawFlat(double v) {
    Samples s{};
    s.fill(v);
    return s;
}

// A record as the frame completion hands it over: signed trigger position and level, raw zero.
common::Waveform record(double trigger, double slope, double level, double zero) {
    common::Waveform w;
    w.DsoParam[1] = trigger;
    w.DsoParam[5] = slope;
    w.DsoParam[6] = level;
    w.DsoParam[7] = zero;
    return w;
}

TEST(Reconstruction, Sinc0AveragesNeighboursOfAlternatingSamples) {
    Reconstruction r;
    Samples raw{};
    for (int i = 0; i < 257; ++i)
        raw[i] = 100 + (i % 2 ? 20 : 0);
    common::Waveform w = record(0, 1, 0, 100);
    w.WaveData[255] = -7;
    r.sinc0(raw, w);
    for (int i = 0; i <= 256; i += 2)
        EXPECT_EQ(w.WaveData[i], (i / 2) % 2 ? 20 : 0) << i; // sample 62 + i/2
    for (int j = 1; j <= 253; j += 2)
        EXPECT_EQ(w.WaveData[j], 10) << j;
    EXPECT_EQ(w.WaveData[255], -7); // left for the frame completion to copy over
}

TEST(Reconstruction, FlatRecordAtZeroGivesZeroEverywhere) {
    using Proc = std::function<Rebuild(Reconstruction &, const Samples &, common::Waveform &)>;
    const struct {
        const char *name;
        Proc run;
    } procs[] = {
        {"sinc0",
         [](Reconstruction &r, const Samples &s, common::Waveform &w) {
             r.sinc0(s, w);
             return Rebuild::Written;
         }},
        {"sinc1",
         [](Reconstruction &r, const Samples &s, common::Waveform &w) { return r.sinc1(s, w); }},
        {"sinc3",
         [](Reconstruction &r, const Samples &s, common::Waveform &w) { return r.sinc3(s, w); }},
        {"sinc4",
         [](Reconstruction &r, const Samples &s, common::Waveform &w) { return r.sinc4(s, w); }},
    };
    for (const auto &p : procs) {
        Reconstruction r;
        common::Waveform w = record(0, 1, 0, 128);
        w.WaveData.fill(33);
        EXPECT_EQ(p.run(r, rawFlat(128), w), Rebuild::Written) << p.name;
        for (int i = 0; i <= 256; ++i)
            if (i != 255)
                EXPECT_EQ(w.WaveData[i], 0) << p.name << " point " << i;
    }
}

TEST(Reconstruction, Sinc4SecondPhaseIsHighBy129Over128) {
    Reconstruction r;
    common::Waveform w = record(0, 1, 10, 128);
    ASSERT_EQ(r.sinc4(rawFlat(138), w), Rebuild::Written);
    // Found at once at f - 6: the record moves right by 6 and its first 6 entries stay.
    const double high = 10.0 * 129 / 128;
    const auto entry = [&](int k) {
        const int old = k < 6 ? k : k - 6;
        return old % 5 == 2 ? high : 10.0;
    };
    int highPoints = 0;
    for (int k = 0; k <= 128; ++k) {
        EXPECT_EQ(w.WaveData[2 * k], entry(k)) << k;
        highPoints += w.WaveData[2 * k] == high;
        if (k > 0)
            EXPECT_EQ(w.WaveData[2 * k - 1], (entry(k - 1) + entry(k)) / 2) << k;
    }
    EXPECT_GT(highPoints, 20);
}

TEST(Reconstruction, Sinc1InterpolatesARampAtItsMidpoints) {
    Reconstruction r;
    Samples raw{};
    for (int i = 0; i < 257; ++i)
        raw[i] = i;
    // p = 1: c = 31, A(n) = 62 + n, so SincOut holds 93, 93.5, 94 ... and the level 0 is met at
    // once (f - 3), moving the record right by 3.
    common::Waveform w = record(1, 1, 0, 0);
    ASSERT_EQ(r.sinc1(raw, w), Rebuild::Written);
    EXPECT_EQ(r.SincIn()[0], 93.5f);
    EXPECT_EQ(r.SincOut()[0], 93.0f);
    EXPECT_EQ(w.WaveData[2 * 10], 93 + (10 - 3) * 0.5);
    EXPECT_EQ(w.WaveData[2 * 10 - 1], 93 + (9.5 - 3) * 0.5);
}

TEST(Reconstruction, RetrigMovesTheCrossingOntoTheExpectedIndex) {
    const int f = 62; // trigger position 0
    const struct {
        int crossing;
        int shift; ///< positive: the record moves left
    } cases[] = {{f + 2, 2}, {f - 3, -3}, {f, 0}};
    for (const auto &c : cases) {
        Reconstruction r;
        auto &out = r.SincOut();
        for (int i = 0; i < Reconstruction::kSincSize; ++i)
            out[i] = i < c.crossing ? -100.0f + i : 20.0f + i;
        const auto old = out;
        common::Waveform w = record(0, 1, 10, 128);
        ASSERT_EQ(r.retrig(w, 3), Rebuild::Written) << c.crossing;
        for (int k = 0; k <= 128; ++k) {
            const int from = c.shift >= 0 ? k + c.shift : (k < -c.shift ? k : k + c.shift);
            EXPECT_EQ(w.WaveData[2 * k], old[from]) << c.crossing << " entry " << k;
        }
        EXPECT_EQ(w.WaveData[2 * f], 20.0f + c.crossing);
    }
}

TEST(Reconstruction, RetrigFallingSlopeTakesTheWindowStartWhenAlreadyBelow) {
    Reconstruction r;
    auto &out = r.SincOut();
    for (int i = 0; i < Reconstruction::kSincSize; ++i)
        out[i] = -1.0f - i;
    const auto old = out;
    common::Waveform w = record(0, 0, 0, 128);
    ASSERT_EQ(r.retrig(w, 5), Rebuild::Written);
    // Taken at f - 5 = 57 and moved right by 5.
    EXPECT_EQ(w.WaveData[2 * 62], old[57]);
    EXPECT_EQ(w.WaveData[2 * 4], old[4]);
}

TEST(Reconstruction, RetrigWithoutCrossingKeepsThePreviousWaveform) {
    Reconstruction r;
    common::Waveform w = record(0, 1, 10, 128);
    w.WaveData.fill(7);
    EXPECT_EQ(r.retrig(w, 6), Rebuild::Kept);
    for (double v : w.WaveData)
        EXPECT_EQ(v, 7);
}

TEST(Reconstruction, TriggerPositionsOutsideTheFiltersAbandon) {
    const struct {
        int proc;    ///< 1, 3 or 4
        double trig; ///< signed trigger position
        Rebuild expected;
    } cases[] = {
        {1, 61, Rebuild::Abandoned},  {1, 60, Rebuild::Abandoned}, // c - 2 < 0; f - 3 < 0
        {1, 59, Rebuild::Written},    {1, -128, Rebuild::Written}, {3, -85, Rebuild::Abandoned},
        {3, -84, Rebuild::Written},   {3, 58, Rebuild::Abandoned}, {3, 57, Rebuild::Written},
        {4, -76, Rebuild::Abandoned}, {4, -75, Rebuild::Written},  {4, 56, Rebuild::Written},
        {4, 57, Rebuild::Abandoned},
    };
    for (const auto &c : cases) {
        Reconstruction r;
        common::Waveform w = record(c.trig, 1, 0, 128);
        w.WaveData.fill(5);
        const Samples raw = rawFlat(140);
        const Rebuild got = c.proc == 1   ? r.sinc1(raw, w)
                            : c.proc == 3 ? r.sinc3(raw, w)
                                          : r.sinc4(raw, w);
        EXPECT_EQ(got, c.expected) << "sinc" << c.proc << " p=" << c.trig;
        if (got == Rebuild::Abandoned)
            EXPECT_EQ(w.WaveData[0], 5) << "sinc" << c.proc << " p=" << c.trig;
    }
}

} // namespace
} // namespace qv::dso
