#pragma once
#include "common/Form.h"

#include <string>

namespace qv::dmm {

/// The model name of a model code 0..8; nullptr for any other code.
[[nodiscard]] const char *modelName(int code);
/// The model code of a model name, compared exactly; -1 when the name is not a model's.
[[nodiscard]] int modelCode(const std::string &name);

/// Takes the meter's model code from a packet: sets MeterModelCode (whatever the code),
/// MeterModelName (codes 0..8 only) and status panel 2.
void MeterModel(common::Form &form, int code);

/// The status text of a work mode ("工作模式: DMM" ...), empty for codes outside 0..5; sets
/// WorkModeName for codes 0..5.
[[nodiscard]] std::string MeterWorkMode(common::Form &form, int code);

} // namespace qv::dmm
