#include "spectrum/Fft.h"

#include "spectrum/Pi.h"
#include "spectrum/WindowTable.h"

#include <cmath>
#include <utility>

namespace qv::spectrum {

int Fft::FFTStages(int n) {
    // Halved as a real number: 3 gives 1.5, then 0.75, so two stages.
    int stages = 0;
    for (double x = n; x > 1; x /= 2)
        ++stages;
    return stages;
}

void Fft::FFT() {
    // Written with 1-based positions p = 1..n that address index p - 1.
    constexpr int n = kSize;
    const int m = FFTStages(n);
    constexpr int half = n / 2;
    constexpr int last = n - 1;

    int j = 1;
    for (int i = 1; i <= last; ++i) {
        if (i < j)
            std::swap(FFTReal[j - 1], FFTReal[i - 1]);
        int k = half;
        while (k < j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }

    for (int l = 1; l <= m; ++l) {
        const int le = 1 << l;
        const int le2 = le / 2;
        double ur = 1.0;
        double ui = 0.0;
        const double sr = std::cos(kPi / le2);
        const double si = std::sin(kPi / le2);
        for (int g = 1; g <= le2; ++g) {
            for (int i = g; i + le2 <= n; i += le) {
                const int a = i - 1;
                const int b = i + le2 - 1;
                const double tr = ur * FFTReal[b] - ui * FFTImag[b];
                const double ti = ui * FFTReal[b] + ur * FFTImag[b];
                FFTReal[b] = FFTReal[a] - tr;
                FFTImag[b] = FFTImag[a] - ti;
                FFTReal[a] += tr;
                FFTImag[a] += ti;
            }
            const double t = ur;
            ur = t * sr - ui * si;
            ui = ui * sr + t * si;
        }
    }
}

void Fft::magnitudes(const WindowTable &windows, int windowType,
                     const std::array<double, 257> &wave, std::array<double, 257> &spectrum) {
    for (int i = 0; i < kSize; ++i) {
        FFTReal[i] = windows.value(windowType, i) * wave[i];
        FFTImag[i] = 0.0;
    }
    FFT();
    for (int i = 0; i < kSize; ++i)
        spectrum[i] = std::sqrt(FFTImag[i] * FFTImag[i] + FFTReal[i] * FFTReal[i]);
}

} // namespace qv::spectrum
