#pragma once
#include "platform/SerialDevices.h"

#include <optional>
#include <string>
#include <vector>

namespace qv::link {

/// The system's entry for a path: the same location, or the same file behind a link
/// ("/dev/serial/by-id/usb-…" is "/dev/ttyUSB0"). nullopt when the system does not list it.
[[nodiscard]] std::optional<platform::SerialDeviceInfo>
findDevice(const std::vector<platform::SerialDeviceInfo> &devices, const std::string &path);

/// A path with what the system knows of it (serial number, USB ids).
[[nodiscard]] platform::DeviceIdentity
identify(const std::vector<platform::SerialDeviceInfo> &devices, const std::string &path);

/// Where a USB adapter stands now when it came back at another path: the device with its serial
/// number, or without one the only device with its vendor and product ids. nullopt when
/// nothing matches or the match is not unique.
[[nodiscard]] std::optional<std::string>
returnedAt(const platform::DeviceIdentity &device,
           const std::vector<platform::SerialDeviceInfo> &devices);

} // namespace qv::link
