#include "mqtt/PublishSettings.h"

#include <cctype>

namespace qv::mqtt {

std::string defaultClientId(std::string_view hostName, std::string_view device) {
    if (const auto slash = device.find_last_of("/\\"); slash != std::string_view::npos)
        device.remove_prefix(slash + 1);
    std::string id = "qvlink-";
    const auto add = [&id](std::string_view part) {
        for (const char c : part)
            id += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
    };
    add(hostName.empty() ? "host" : hostName);
    if (!device.empty()) {
        id += '-';
        add(device);
    }
    return id;
}

} // namespace qv::mqtt
