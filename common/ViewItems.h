#pragma once
#include "common/Elements.h"

namespace qv::common {

/// Marks the active view in the Wave menu: its item checked and disabled, the other one
/// unchecked and enabled.
inline void markView(Elements &el, bool waveform) {
    Control &active = waveform ? el.mnuDSOwave : el.mnuDSOFFT;
    Control &other = waveform ? el.mnuDSOFFT : el.mnuDSOwave;
    active.setEnabled(false);
    active.setChecked(true);
    other.setEnabled(true);
    other.setChecked(false);
}

} // namespace qv::common
