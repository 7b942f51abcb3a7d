#include "dso/Reconstruction.h"

#include "common/Rounding.h"

#include <algorithm>
#include <cstring>

namespace qv::dso {
namespace {

constexpr int kFirstSample = 62;
constexpr int kTriggerAt = 62; ///< SincOut index the trigger crossing is moved to, before -p
constexpr int kMoved = 128;    ///< entries moved beyond the first one

bool inside(int i, int last) {
    return i >= 0 && i <= last;
}

// Zero level as the reconstruction sees it: the raw byte, before 128 is taken off.
double zeroLevel(const common::Waveform &wave) {
    return wave.DsoParam[7];
}

} // namespace

void Reconstruction::sinc0(const Samples &raw, common::Waveform &wave) {
    const double zero = zeroLevel(wave);
    for (int i = kFirstSample; i <= 190; ++i)
        wave.WaveData[2 * (i - kFirstSample)] = raw[i] - zero;
    for (int j = 1; j <= 253; j += 2)
        wave.WaveData[j] = (wave.WaveData[j - 1] + wave.WaveData[j + 1]) / 2;
}

Rebuild Reconstruction::sinc1(const Samples &raw, common::Waveform &wave) {
    static const Stage stage{2, 195, 256, 65, 65, 3, {{{3, -15, 76, 76, -15, 3}}}};
    const double p = wave.DsoParam[1];
    return expand(raw, wave, stage, common::toInt16((63 - p) / 2));
}

Rebuild Reconstruction::sinc3(const Samples &raw, common::Waveform &wave) {
    static const Stage stage{
        4,
        194,
        146,
        33,
        33,
        5,
        {{{3, -15, 113, 33, -7, 1}, {3, -15, 76, 76, -15, 3}, {1, -7, 33, 113, -15, 3}}}};
    const double p = wave.DsoParam[1];
    return expand(raw, wave, stage, common::toInt16((63 - p) * 3 / 4));
}

Rebuild Reconstruction::sinc4(const Samples &raw, common::Waveform &wave) {
    // The second phase's taps add up to 129: a flat record comes out 129/128 high there.
    static const Stage stage{5,
                             195,
                             146,
                             33,
                             28,
                             6,
                             {{{3, -14, 119, 25, -6, 1},
                               {3, -17, 93, 59, -12, 3},
                               {2, -12, 59, 93, -17, 3},
                               {1, -6, 25, 119, -14, 3}}}};
    const double p = wave.DsoParam[1];
    return expand(raw, wave, stage, common::toInt16((63 - p) * 4 / 5));
}

Rebuild Reconstruction::expand(const Samples &raw, common::Waveform &wave, const Stage &stage,
                               std::int16_t start) {
    // The work array starts at zero; entries beyond the samples taken read as 0.
    std::array<float, 257> a{};
    const double zero = zeroLevel(wave);
    for (int n = 0; n <= stage.lastSample - kFirstSample; ++n)
        a[n] = static_cast<float>(raw[kFirstSample + n] - zero);

    // The filters read A(c - 2) .. A(c + N + 3); everything written below stays within SincIn
    // and SincOut (at most 34 intervals of 4 values, 29 groups of 5).
    const int c = start;
    if (!inside(c - 2, stage.aLast) || !inside(c + stage.intervals + 3, stage.aLast))
        return Rebuild::Abandoned;
    const int phases = stage.expansion - 1;
    int k = 0;
    for (int j = c; j <= c + stage.intervals; ++j) {
        for (int ph = 0; ph < phases; ++ph) {
            // Sums of whole-number samples are exact in either width.
            double sum = 0;
            for (int t = 0; t < 6; ++t)
                sum += stage.taps[ph][t] * static_cast<double>(a[j - 2 + t]);
            sincIn_[k++] = static_cast<float>(sum / 128);
        }
    }

    // Interleave: the real sample first, then its interval's in-between values in phase order.
    for (int g = 0; g <= stage.groups; ++g) {
        const int base = g * stage.expansion;
        sincOut_[base] = a[c + g];
        for (int ph = 0; ph < phases; ++ph)
            sincOut_[base + 1 + ph] = sincIn_[g * phases + ph];
    }
    return retrig(wave, stage.window);
}

Rebuild Reconstruction::retrig(common::Waveform &wave, std::int16_t window) {
    const auto level = static_cast<float>(common::toInt16(wave.DsoParam[6]));
    const int f = common::toInt16(kTriggerAt - wave.DsoParam[1]);
    const double slope = wave.DsoParam[5];
    const bool rising = slope == 1 || slope == 3;

    int found = -1;
    for (int i = f - window; i <= f + window - 1; ++i) {
        if (!inside(i, kSincSize - 1))
            return Rebuild::Abandoned;
        const bool hit = rising ? sincOut_[i] >= level : sincOut_[i] < level;
        if (hit) {
            found = i;
            break;
        }
    }
    if (found < 0)
        return Rebuild::Kept;

    // Found late, the record moves left; found early, right, and the entries before it stay.
    const int d = found - f;
    std::memmove(&sincOut_[std::max(-d, 0)], &sincOut_[std::max(d, 0)],
                 (kMoved + 1) * sizeof(float));

    wave.WaveData[0] = sincOut_[0];
    for (int k = 1; k <= kMoved; ++k) {
        wave.WaveData[2 * k - 1] = (sincOut_[k - 1] + sincOut_[k]) / 2.0f;
        wave.WaveData[2 * k] = sincOut_[k];
    }
    return Rebuild::Written;
}

} // namespace qv::dso
