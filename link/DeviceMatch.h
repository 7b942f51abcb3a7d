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

/// Whether a path is a pseudo-terminal's own name ("/dev/pts/3", "/dev/ttys003"): the system
/// gives the number to the next terminal any program opens, so the name does not stay with one
/// device.
[[nodiscard]] bool isPseudoTerminalName(const std::string &path);

/// Whether a path is a pseudo-terminal's own name or leads to one through links (socat's
/// link=): no such device is ever in the system's list of serial devices.
[[nodiscard]] bool leadsToPseudoTerminal(const std::string &path);

/// Whether the device that stands at a lost device's path now may be taken for it: never at a
/// pseudo-terminal's name; for a USB adapter known by its serial number (without one, by its
/// vendor and product ids) only when the system lists that adapter at the path now; any other
/// name (a link such as /dev/serial/by-id/…, a port of the machine, COM12) names its device.
/// now: the system's list (needed only for a USB adapter).
[[nodiscard]] bool sameDeviceAtPath(const platform::DeviceIdentity &lost,
                                    const std::vector<platform::SerialDeviceInfo> &now);

/// Whether a device is known as a USB adapter: by its serial number or its ids.
[[nodiscard]] bool knownAdapter(const platform::DeviceIdentity &device);

/// Where a USB adapter stands now when it came back at another path: the device with its serial
/// number, or without one the only device with its vendor and product ids. nullopt when
/// nothing matches or the match is not unique.
[[nodiscard]] std::optional<std::string>
returnedAt(const platform::DeviceIdentity &device,
           const std::vector<platform::SerialDeviceInfo> &devices);

} // namespace qv::link
