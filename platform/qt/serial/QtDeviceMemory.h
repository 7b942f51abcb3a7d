#pragma once
#include "platform/SerialDevices.h"

#include <QString>

namespace qv::platform::qt {

/// The remembered device in QSettings: the platform's usual place for "qvlink", or an INI file
/// of its own (tests).
class QtDeviceMemory final : public DeviceMemory {
  public:
    QtDeviceMemory() = default;
    explicit QtDeviceMemory(QString iniFile) : iniFile_(std::move(iniFile)) {}

    std::optional<DeviceIdentity> recall() const override;
    void remember(const DeviceIdentity &device) override;

  private:
    QString iniFile_;
};

} // namespace qv::platform::qt
