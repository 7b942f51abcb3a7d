#pragma once
#include <array>

namespace qv::spectrum {

class WindowTable;

/// The 256-point radix-2 transform, in place on FFTReal / FFTImag (indices 0..255 used).
class Fft {
  public:
    static constexpr int kSize = 256;

    std::array<double, 257> FFTReal{};
    std::array<double, 257> FFTImag{};

    /// Transforms FFTReal/FFTImag in place, unnormalised. Only the real part is put in
    /// bit-reversed order, so FFTImag must be all zero on entry. The twiddle factors turn with
    /// +sin: the imaginary parts have the opposite sign of the usual forward transform, the
    /// magnitudes are the same.
    void FFT();

    /// The number of times n can be halved while it is greater than 1 (256 gives 8).
    [[nodiscard]] static int FFTStages(int n);

    /// The magnitude pipeline: the waveform times the window of the given type, transformed, and
    /// the magnitude of each of the 256 bins written to spectrum[0..255].
    void magnitudes(const WindowTable &windows, int windowType, const std::array<double, 257> &wave,
                    std::array<double, 257> &spectrum);
};

} // namespace qv::spectrum
