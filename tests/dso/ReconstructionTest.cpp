#include "dso/Reconstruction.h"
#include "link/DsoFrameSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace qv::dso {
namespace {

using Samples = Reconstruction::Samples;
using qv::link::DsoFrameSource, qv::link::DsoSignal, qv::link::WaveShape;
using Taps = std::vector<std::array<int, 6>>;
constexpr auto W = Rebuild::Written, K = Rebuild::Kept, A = Rebuild::Abandoned;

// A record as the frame completion hands it over: signed trigger position and level, raw zero.
common::Waveform record(double trigger, double slope, double level, double zero, double fill) {
    common::Waveform w;
    w.DsoParam[1] = trigger, w.DsoParam[5] = slope, w.DsoParam[6] = level, w.DsoParam[7] = zero;
    w.WaveData.fill(fill);
    return w;
}

// The reconstruction written a second time, plainly, with the taps as the meter's table lists them
// (the 2/5 phase adds up to 129 and is no mirror of the 3/5 one), every bound checked before
// anything is written. With whole-number samples every sum is exact: the two agree to the bit.
struct Plain {
    std::array<double, 513> out{}; // the interleaved record, kept from frame to frame

    Rebuild run(int proc, const Samples &raw, common::Waveform &w) {
        const double zero = w.DsoParam[7];
        if (proc == 0) {
            for (int i = 62; i <= 190; ++i)
                w.WaveData[2 * (i - 62)] = raw[i] - zero;
            for (int j = 1; j <= 253; j += 2)
                w.WaveData[j] = (w.WaveData[j - 1] + w.WaveData[j + 1]) / 2;
            return W;
        }
        static const Taps half{{3, -15, 76, 76, -15, 3}},
            quarters{{3, -15, 113, 33, -7, 1}, {3, -15, 76, 76, -15, 3}, {1, -7, 33, 113, -15, 3}},
            fifths{{3, -14, 119, 25, -6, 1},
                   {3, -17, 93, 59, -12, 3},
                   {2, -12, 59, 93, -17, 3},
                   {1, -6, 25, 119, -14, 3}};
        const Taps &taps = proc == 1 ? half : proc == 3 ? quarters : fifths;
        const int L = static_cast<int>(taps.size()) + 1;
        const int lastSample = proc == 3 ? 194 : 195, aLast = proc == 1 ? 256 : 146;
        const int intervals = proc == 1 ? 65 : 33, groups = proc == 4 ? 28 : intervals;
        const int c = static_cast<int>(std::nearbyint((63 - w.DsoParam[1]) * (L - 1) / L));
        if (c - 2 < 0 || c + intervals + 3 > aLast)
            return A;
        std::array<double, 257> a{};
        for (int n = 0; n <= lastSample - 62; ++n)
            a[n] = raw[62 + n] - zero;
        for (int g = 0; g <= groups; ++g) {
            out[g * L] = a[c + g];
            for (int ph = 0; ph < L - 1; ++ph) {
                int sum = 0;
                for (int t = 0; t < 6; ++t)
                    sum += taps[ph][t] * static_cast<int>(a[c + g - 2 + t]);
                out[g * L + 1 + ph] = sum / 128.0;
            }
        }
        return retrig(w, proc == 1 ? 3 : proc == 3 ? 5 : 6);
    }

    Rebuild retrig(common::Waveform &w, int window) {
        const double level = std::nearbyint(w.DsoParam[6]);
        const int f = static_cast<int>(std::nearbyint(62 - w.DsoParam[1]));
        const bool rising = w.DsoParam[5] == 1 || w.DsoParam[5] == 3;
        if (f - window < 0)
            return A;
        int found = -1;
        for (int i = f - window; i <= f + window - 1 && found < 0; ++i)
            found = (rising ? out[i] >= level : out[i] < level) ? i : -1;
        if (found < 0)
            return K;
        const auto old = out;
        for (int k = 0; k <= 128; ++k) { // early: the first f - found entries stay
            if (found >= f)
                out[k] = old[k + found - f];
            else if (k >= f - found)
                out[k] = old[k - (f - found)];
        }
        w.WaveData[0] = out[0];
        for (int k = 1; k <= 128; ++k)
            w.WaveData[2 * k - 1] = (out[k - 1] + out[k]) / 2, w.WaveData[2 * k] = out[k];
        return W;
    }
};

// Every path, trigger position (a byte, or further in a hand-edited file), and crossing in or
// outside the search window, frame after frame: the same outcome and 257 points as the plain
// one. Each sample differs, 195 too (sinc3 skips it).
TEST(Reconstruction, AgreesWithThePlainOneEverywhere) {
    Samples raw;
    for (int i = 0; i < 257; ++i)
        raw[i] = 128 + (i * 37 % 61) - 30 + (i * 11 % 7);
    Reconstruction r;
    Plain plain;
    common::Waveform got = record(0, 1, 0, 128, -99), want = got;
    for (const int proc : {0, 4, 1, 3}) { // each search may read what the one before left behind
        int outcomes[3] = {};
        for (int trigger = -320; trigger <= 127; ++trigger)
            for (const double level : {-25., 0., 9., 40.})
                for (const double slope : {0., 1., 2., 3.}) {
                    for (auto *w : {&got, &want})
                        w->DsoParam[1] = trigger, w->DsoParam[5] = slope, w->DsoParam[6] = level;
                    const Rebuild outcome = proc == 0   ? (r.sinc0(raw, got), W)
                                            : proc == 1 ? r.sinc1(raw, got)
                                            : proc == 3 ? r.sinc3(raw, got)
                                                        : r.sinc4(raw, got);
                    const Rebuild expected = plain.run(proc, raw, want);
                    ASSERT_EQ(std::tie(outcome, got.WaveData), std::tie(expected, want.WaveData))
                        << "sinc" << proc << " p=" << trigger << " level " << level;
                    ++outcomes[static_cast<int>(outcome)];
                }
        EXPECT_TRUE(proc == 0 || (outcomes[0] && outcomes[1] && outcomes[2])) << proc;
    }
}

// Small cases worked out by hand.
TEST(Reconstruction, HandWorkedCases) {
    // sinc0: samples alternating 0 and 20 above zero; odd points the averages, 255 left alone.
    // sinc4: a flat record 10 above zero, found at once at f - 6: the record moves right by 6,
    // its first 6 entries stay; every fifth entry is from the 2/5 phase, 129/128 high.
    // sinc1: a step from -10 to +20 between samples 125 and 126 (point 64 of the doubled record,
    // 63 the value between: 640 / 128 = 5); at level 6 the crossing is found two points late.
    Samples alternating, flat, step;
    flat.fill(138);
    for (int i = 0; i < 257; ++i)
        alternating[i] = 100 + (i % 2 ? 20 : 0), step[i] = 128 + (i <= 125 ? -10 : 20);
    const auto entry = [](int k) { return (k < 6 ? k : k - 6) % 5 == 2 ? 10.0 * 129 / 128 : 10; };
    Reconstruction r;
    common::Waveform w = record(0, 1, 0, 100, -7);
    r.sinc0(alternating, w);
    for (int i = 0; i <= 256; ++i)
        ASSERT_EQ(w.WaveData[i], i == 255 ? -7 : i % 2 ? 10 : (i / 2) % 2 ? 20 : 0) << i;

    w = record(0, 1, 10, 128, 0);
    ASSERT_EQ(r.sinc4(flat, w), W);
    for (int k = 0; k <= 128; ++k) {
        ASSERT_EQ(w.WaveData[2 * k], entry(k)) << k;
        ASSERT_TRUE(k == 128 || w.WaveData[2 * k + 1] == (entry(k) + entry(k + 1)) / 2) << k;
    }

    w = record(0, 1, 6, 128, 7);
    ASSERT_EQ(r.sinc1(step, w), W);
    EXPECT_EQ(std::tuple(std::vector(w.WaveData.begin() + 122, w.WaveData.begin() + 125),
                         std::vector(w.WaveData.begin() + 254, w.WaveData.end())),
              std::tuple(std::vector<double>{5, 12.5, 20}, std::vector<double>{20, 20, 20}));

    // retrig alone: the crossing found late or early in the window f - 3 .. f + 2 lands on
    // f = 62; moving right keeps the first entries.
    for (const int shift : {2, -3}) {
        const auto sinc = [shift](int i) { return (i < 62 + shift ? -1000.0 : 1000.0) + i; };
        for (int i = 0; i < Reconstruction::kSincSize; ++i)
            r.SincOut()[i] = float(sinc(i));
        w = record(0, 1, 10, 128, 7);
        ASSERT_EQ(r.retrig(w, 3), W);
        for (int k = 0; k <= 128; ++k)
            ASSERT_EQ(w.WaveData[2 * k], sinc(shift > 0 || k >= -shift ? k + shift : k)) << k;
    }
    // Its window reaches the array's first and last entries, no further.
    r.SincOut().fill(-1000.0f);
    for (const auto &[trigger, outcome] :
         {std::pair(59.0, K), std::pair(60.0, A), std::pair(-448.0, K), std::pair(-449.0, A)}) {
        w = record(trigger, 1, 10, 128, 7);
        EXPECT_EQ(r.retrig(w, 3), outcome) << trigger;
    }
}

// Realigned on its own trigger crossing, a simulated frame's crossing is where its settings say.
TEST(Reconstruction, FindsTheSimulatedCrossing) {
    using Stage = Rebuild (Reconstruction::*)(const Samples &, common::Waveform &);
    for (int k = 0; k < 3 * 4 * 5 * 3; ++k) {
        DsoSignal s{.zeroLevel = 130, .amplitude = 35, .period = 48};
        s.shape = std::array{WaveShape::Sine, WaveShape::Square, WaveShape::Triangle}[k % 3];
        s.slope = k / 3 % 4, s.level = std::array{-15, 0, 10}[k / 60];
        s.triggerPos = std::array{-40, -7, 0, 12, 40}[k / 12 % 5];
        SCOPED_TRACE(k); // shape k % 3, slope k / 3 % 4, position k / 12 % 5, level k / 60
        const auto bytes = DsoFrameSource::samples(s);
        const bool up = DsoFrameSource::rising(s.slope);
        ASSERT_LT(*std::max_element(bytes.begin(), bytes.end()), 0xFF) << "a sample as sync byte";
        Samples raw{};
        std::copy(bytes.begin(), bytes.end(), raw.begin());
        for (Stage stage :
             {&Reconstruction::sinc1, &Reconstruction::sinc3, &Reconstruction::sinc4}) {
            common::Waveform wave = record(s.triggerPos, s.slope, s.level, s.zeroLevel, 0);
            Reconstruction r;
            ASSERT_EQ((r.*stage)(raw, wave), W);
            // The crossing sits at SincOut(62 - pos), point 2 (62 - pos) on screen.
            const auto at = static_cast<std::size_t>(2 * (62 - s.triggerPos));
            EXPECT_EQ(wave.WaveData[at] >= s.level, up);
            EXPECT_EQ(wave.WaveData[at - 2] >= s.level, !up);
        }
    }
}

} // namespace
} // namespace qv::dso
