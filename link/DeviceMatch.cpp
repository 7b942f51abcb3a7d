#include "link/DeviceMatch.h"

#include <cctype>
#include <filesystem>
#include <string_view>
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

bool isPseudoTerminalName(const std::string &path) {
    const std::string p = std::filesystem::path(path).lexically_normal().string();
    if (p.starts_with("/dev/pts/"))
        return true;
    // BSD and macOS name their pseudo-terminals /dev/ttys000 and on (ttyS0 is a port).
    constexpr std::string_view kBsd = "/dev/ttys";
    return p.starts_with(kBsd) && p.size() > kBsd.size() &&
           std::isdigit(static_cast<unsigned char>(p[kBsd.size()]));
}

bool leadsToPseudoTerminal(const std::string &path) {
    return isPseudoTerminalName(path) || isPseudoTerminalName(resolved(path));
}

bool knownAdapter(const platform::DeviceIdentity &device) {
    return !device.serialNumber.empty() || (device.vendorId && device.productId);
}

bool sameDeviceAtPath(const platform::DeviceIdentity &lost,
                      const std::vector<platform::SerialDeviceInfo> &now) {
    if (isPseudoTerminalName(lost.path))
        return false;
    if (!knownAdapter(lost))
        return true;
    const std::optional<platform::SerialDeviceInfo> here = findDevice(now, lost.path);
    if (!here || here->vendorId != lost.vendorId || here->productId != lost.productId)
        return false;
    return here->serialNumber == lost.serialNumber;
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
