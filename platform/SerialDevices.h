#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::platform {

/// A serial device as the system reports it.
struct SerialDeviceInfo {
    std::string name{};     ///< "ttyUSB0", "COM12"
    std::string location{}; ///< what opens it: "/dev/ttyUSB0", "COM12"
    std::string description{}, manufacturer{}, serialNumber{};
    std::optional<std::uint16_t> vendorId{}, productId{};
};

/// What tells one device from another when it comes back at another path: its path, and for
/// USB adapters its serial number or its vendor and product ids.
struct DeviceIdentity {
    std::string path{};
    std::string serialNumber{};
    std::optional<std::uint16_t> vendorId{}, productId{};
};

/// The serial devices the system reports now (ptys and symlinks are not among them).
class SerialDevices {
  public:
    virtual ~SerialDevices() = default;
    [[nodiscard]] virtual std::vector<SerialDeviceInfo> list() const = 0;
};

/// The device the user last chose by name, kept between runs.
class DeviceMemory {
  public:
    virtual ~DeviceMemory() = default;
    [[nodiscard]] virtual std::optional<DeviceIdentity> recall() const = 0;
    virtual void remember(const DeviceIdentity &device) = 0;
};

/// The "Other port…" dialog: every device the system reports, plus a free path. nullopt when
/// the user cancelled.
class DeviceChooser {
  public:
    virtual ~DeviceChooser() = default;
    [[nodiscard]] virtual std::optional<std::string> chooseDevice(const SerialDevices &devices) = 0;
};

} // namespace qv::platform
