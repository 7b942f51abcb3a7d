#pragma once
#include "common/Form.h"

namespace qv::app {

/// Puts every control into the state of DMM mode: decoding as multimeter readings, acquisition
/// running, recording off, the scope commands off, the log and title emptied.
void DMMmode(common::Form &form);

/// Puts every control into the state of DSO mode: decoding as waveforms, acquisition running,
/// recording off, the scope screen on (and the waveform redrawn when there is one).
void DSOmode(common::Form &form);

} // namespace qv::app
