#include "mqtt/SettingsStore.h"

namespace qv::mqtt {

std::optional<PublishSettings> publishSettingsOf(const StoredSettings &stored,
                                                 const std::string &hostName, std::string &error) {
    const auto url = parseBrokerUrl(stored.url, error);
    if (!url)
        return std::nullopt;
    PublishSettings s;
    s.url = *url;
    s.clientId = stored.clientId.empty() ? defaultClientId(hostName, "window") : stored.clientId;
    if (!url->user.empty() && !stored.password.empty())
        s.password = stored.password;
    if (url->tls) {
        s.caFile = stored.caFile;
        s.certFile = stored.certFile;
        s.keyFile = stored.keyFile;
    }
    s.qos = stored.qos == 0 ? 0 : 1;
    s.queueLimit = stored.queueLimit > 0 ? static_cast<std::size_t>(stored.queueLimit) : 1;
    s.discovery = stored.discovery;
    return s;
}

} // namespace qv::mqtt
