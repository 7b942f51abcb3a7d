#pragma once
#include "common/Form.h"

#include <array>
#include <cstdint>

namespace qv::dso {

/// What a reconstruction did to the waveform.
enum class Rebuild {
    Written,   ///< WaveData holds the new waveform
    Kept,      ///< no trigger crossing in the search window: WaveData keeps the previous waveform
    Abandoned, ///< an index fell outside its array: the frame completion must stop here
};

/// Stretches the middle of a frame's record at the fast time bases by interpolation and
/// realigns it on the trigger crossing. The interpolated values (SincIn) and the interleaved
/// record (SincOut) are kept between frames: a trigger search may read entries that an earlier
/// frame wrote, exactly as the meter's own screen behaves.
class Reconstruction {
  public:
    using Samples = std::array<double, 257>;
    static constexpr int kSincSize = 513; ///< SincIn and SincOut hold indices 0..512

    /// 2x linear expansion of samples 62..190 into points 0..256 (point 255 is not written).
    /// Reads DsoParam(7) as the raw zero-level byte.
    void sinc0(const Samples &raw, common::Waveform &wave);
    /// 2x half-band filter, 2x linear, realigned with a window of 3.
    [[nodiscard]] Rebuild sinc1(const Samples &raw, common::Waveform &wave);
    /// 4x polyphase filter, 2x linear, realigned with a window of 5.
    [[nodiscard]] Rebuild sinc3(const Samples &raw, common::Waveform &wave);
    /// 5x polyphase filter, 2x linear, realigned with a window of 6.
    [[nodiscard]] Rebuild sinc4(const Samples &raw, common::Waveform &wave);
    /// Finds the trigger crossing in SincOut around 62 - DsoParam(1), moves it there and expands
    /// 129 entries of SincOut 2x linearly into WaveData points 0..256.
    [[nodiscard]] Rebuild retrig(common::Waveform &wave, std::int16_t window);

    [[nodiscard]] const std::array<float, kSincSize> &SincOut() const { return sincOut_; }
    /// Lets tests (and a benchmark) start from a known record.
    [[nodiscard]] std::array<float, kSincSize> &SincOut() { return sincOut_; }

  private:
    /// One polyphase stage: L - 1 filters of six taps each, their sum and the width of A.
    struct Stage {
        int expansion;       ///< L: 2, 4 or 5
        int lastSample;      ///< highest RawSamples index taken (195 or 194)
        int aLast;           ///< highest index of A (256 or 146)
        int intervals;       ///< N: intervals c..c+N are filtered
        int groups;          ///< g = 0..groups are interleaved into SincOut
        std::int16_t window; ///< half width of the trigger search
        std::array<std::array<int, 6>, 4> taps;
    };

    [[nodiscard]] Rebuild expand(const Samples &raw, common::Waveform &wave, const Stage &stage,
                                 std::int16_t start);

    std::array<float, kSincSize> sincIn_{};
    std::array<float, kSincSize> sincOut_{};
};

} // namespace qv::dso
