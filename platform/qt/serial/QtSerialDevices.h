#pragma once
#include "platform/SerialDevices.h"

namespace qv::platform::qt {

/// The serial devices QSerialPortInfo reports.
class QtSerialDevices final : public SerialDevices {
  public:
    std::vector<SerialDeviceInfo> list() const override;
};

} // namespace qv::platform::qt
