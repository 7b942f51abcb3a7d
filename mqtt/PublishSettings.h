#pragma once
#include "mqtt/BrokerUrl.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv::mqtt {

/// What to publish to, and how.
struct PublishSettings {
    BrokerUrl url;
    std::string clientId;                ///< stable across restarts: the session is kept
    std::optional<std::string> password; ///< with url.user
    std::string caFile;                  ///< TLS trust; empty: the system's
    std::string certFile, keyFile;       ///< the client's certificate; empty: none
    int qos = 1;
    std::size_t queueLimit = 100000;
    bool discovery = false; ///< Home Assistant's discovery configs
};

/// "qvlink-" with the host name and the device's last path part, each character other than a
/// letter, digit, '-' or '_' as '_': "qvlink-bench1-ttyUSB0".
[[nodiscard]] std::string defaultClientId(std::string_view hostName, std::string_view device);

} // namespace qv::mqtt
