#include "link/DeviceMatch.h"

#include <filesystem>
#include <system_error>

namespace qv::link {

namespace {

/// The file a path leads to; the path itself when it leads nowhere.
[[nodiscard]] std::string resolved(const std::string &path) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::canonical(path, ec);
    return ec ? path : p.string();
}

} // namespace

std::optional<platform::SerialDeviceInfo>
findDevice(const std::vector<platform::SerialDeviceInfo> &devices, const std::string &path) {
    if (path.empty())
        return std::nullopt;
    const std::string real = resolved(path);
    for (const platform::SerialDeviceInfo &d : devices)
        if (d.location == path || d.name == path || resolved(d.location) == real)
            return d;
    return std::nullopt;
}

platform::DeviceIdentity identify(const std::vector<platform::SerialDeviceInfo> &devices,
                                  const std::string &path) {
    platform::DeviceIdentity id{.path = path};
    if (const auto d = findDevice(devices, path)) {
        id.serialNumber = d->serialNumber;
        id.vendorId = d->vendorId;
        id.productId = d->productId;
    }
    return id;
}

std::optional<std::string> returnedAt(const platform::DeviceIdentity &device,
                                      const std::vector<platform::SerialDeviceInfo> &devices) {
    if (!device.serialNumber.empty()) {
        for (const platform::SerialDeviceInfo &d : devices)
            if (d.serialNumber == device.serialNumber && d.vendorId == device.vendorId &&
                d.productId == device.productId)
                return d.location;
        return std::nullopt;
    }
    if (!device.vendorId || !device.productId)
        return std::nullopt;
    std::optional<std::string> found;
    for (const platform::SerialDeviceInfo &d : devices) {
        if (d.vendorId != device.vendorId || d.productId != device.productId)
            continue;
        if (found)
            return std::nullopt; // two alike adapters: not ours to guess
        found = d.location;
    }
    return found;
}

} // namespace qv::link
