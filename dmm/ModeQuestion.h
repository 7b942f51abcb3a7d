#pragma once
#include "common/Form.h"

#include <functional>

namespace qv::dmm {

/// Counts a packet that belongs to the other operating mode. The eleventh in a row asks, once,
/// whether to follow the meter ("DSO" or "DMM" names the meter's current function); OK switches
/// with `follow`. The DMM decoder asks system-modally. The count is set past ten before asking, so
/// packets arriving while the question is open do not ask again.
void countOtherMode(common::Form &form, const char *meterFunction, bool systemModal,
                    const std::function<void()> &follow);

} // namespace qv::dmm
