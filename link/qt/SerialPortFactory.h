#pragma once
#include "platform/SerialPort.h"

#include <memory>
#include <string>

namespace qv::link::qt {

using platform::SerialPort;

/// The program's serial port: the system's ports for an empty mode; for "dmm", "dso",
/// "dso-memory" or "dmm-memory" a virtual meter in that mode on port 1, at the link's real pace,
/// with the system's ports on 2..8. nullptr for any other mode.
[[nodiscard]] std::unique_ptr<SerialPort> makeSerialPort(const std::string &demoMode);
/// The virtual meter in a demo mode on port 1, with others on 2..8 and named devices (none: it
/// is the only port); nullptr for an unknown mode.
[[nodiscard]] std::unique_ptr<SerialPort> makeDemoPort(const std::string &demoMode,
                                                       std::unique_ptr<SerialPort> others);

} // namespace qv::link::qt
