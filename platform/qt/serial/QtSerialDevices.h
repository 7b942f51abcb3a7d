#pragma once
#include "platform/SerialDevices.h"

#include <QObject>

#include <optional>

namespace qv::platform::qt {

/// The serial devices QSerialPortInfo reports. Reading the system's list costs tens of
/// milliseconds (every tty of the system is looked at), so a list read stays good for the rest
/// of that turn of the event loop: a search, which probes eight ports in one turn, reads it once.
class QtSerialDevices final : public SerialDevices {
  public:
    std::vector<SerialDeviceInfo> list() const override;

  private:
    mutable std::optional<std::vector<SerialDeviceInfo>> read_;
    QObject turn_; ///< forgets the list at the next turn of the event loop
};

} // namespace qv::platform::qt
