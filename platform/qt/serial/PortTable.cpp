#include "platform/qt/serial/PortTable.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <tuple>

namespace qv::platform::qt {

namespace {

[[nodiscard]] std::string baseName(const std::string &path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[nodiscard]] bool startsWith(const std::string &s, const char *prefix) {
    return s.rfind(prefix, 0) == 0;
}

[[nodiscard]] int rank(const std::string &name) {
    if (startsWith(name, "ttyUSB") || startsWith(name, "cu.usbserial"))
        return 0;
    if (startsWith(name, "ttyACM") || startsWith(name, "cu.usbmodem"))
        return 1;
    if (startsWith(name, "ttyS"))
        return 2;
    return 3;
}

/// (rank, name without its trailing digits, the trailing number, whole name).
[[nodiscard]] auto sortKey(const std::string &path) {
    const std::string name = baseName(path);
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    // At most 9 digits count as a number; longer runs come after every number.
    long long number = -1;
    if (digits < name.size())
        number = name.size() - digits <= 9 ? std::stoll(name.substr(digits)) : LLONG_MAX;
    return std::make_tuple(rank(name), name.substr(0, digits), number, name);
}

} // namespace

std::vector<std::string> PortTable::order(std::vector<std::string> devices) {
    std::erase_if(devices, [](const std::string &d) { return startsWith(baseName(d), "tty."); });
    std::sort(devices.begin(), devices.end(),
              [](const std::string &a, const std::string &b) { return sortKey(a) < sortKey(b); });
    devices.erase(std::unique(devices.begin(), devices.end()), devices.end());
    return devices;
}

void PortTable::update(const std::vector<std::string> &devices) {
    for (const std::string &d : order(devices)) {
        if (std::find(devices_.begin(), devices_.end(), d) != devices_.end())
            continue;
        const auto free = std::find(devices_.begin(), devices_.end(), std::string{});
        if (free == devices_.end())
            return;
        *free = d;
    }
}

std::string PortTable::device(int n) const {
    if (n < 1 || n > kPorts)
        return {};
    return devices_[static_cast<size_t>(n - 1)];
}

void PortTable::assign(int n, std::string device) {
    if (n < 1 || n > kPorts)
        return;
    devices_[static_cast<size_t>(n - 1)] = std::move(device);
}

} // namespace qv::platform::qt
