#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qv::mqtt {

/// Where to publish: mqtt://[USER@]HOST[:PORT]/PREFIX, or mqtts:// for TLS.
struct BrokerUrl {
    bool tls = false;
    std::string user;   ///< percent-escapes decoded; empty for none
    std::string host;   ///< a name, an IPv4 address or an IPv6 address (without its brackets)
    int port = 1883;    ///< 1883 for mqtt://, 8883 for mqtts:// unless given
    std::string prefix; ///< the topics' first levels: "lab/bench1"

    /// "HOST:PORT" ("[::1]:1883"), as messages name the broker.
    [[nodiscard]] std::string hostPort() const;
};

/// The URL read; nullopt with the reason in error ("--mqtt takes mqtt://[USER@]HOST[:PORT]/PREFIX
/// ...").
[[nodiscard]] std::optional<BrokerUrl> parseBrokerUrl(std::string_view url, std::string &error);

} // namespace qv::mqtt
