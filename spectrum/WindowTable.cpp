#include "spectrum/WindowTable.h"

#include "spectrum/Pi.h"

#include <cmath>

namespace qv::spectrum {
namespace {

double windowValue(int type, int i) {
    const double x = (2.0 * i) * kPi / 255.0;
    switch (type) {
    case 0:
        return 1.0;
    case 1:
        return 0.5 - 0.5 * std::cos(x);
    case 2:
        return 0.54 - 0.46 * std::cos(x);
    case 3:
        return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
    case 4:
        return 0.21557895 - 0.41663158 * std::cos(x) + 0.277263158 * std::cos(2 * x) -
               0.083578947 * std::cos(3 * x) + 0.006947368 * std::cos(4 * x);
    default: // 5
        return (2.0 * i) / 255.0;
    }
}

} // namespace

void WindowTable::MakeWindow() {
    for (int type = 0; type < kWindows; ++type)
        for (int i = 0; i <= 127; ++i) {
            const double w = windowValue(type, i);
            table_[type][i] = w;
            table_[type][255 - i] = w;
        }
}

double WindowTable::value(int type, int column) const {
    if (type < 0 || type >= kRows || column < 0 || column >= kColumns)
        return 0.0;
    return table_[type][column];
}

const std::string &WindowTable::name(int type) {
    static const std::array<std::string, kWindows> names{"Rectangular", "Hanning", "Hamming",
                                                         "Blackman",    "Flattop", "Bartlett"};
    return names.at(static_cast<std::size_t>(type));
}

} // namespace qv::spectrum
