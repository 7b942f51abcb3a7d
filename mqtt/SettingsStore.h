#pragma once
#include "mqtt/PublishSettings.h"

#include <optional>
#include <string>

namespace qv::mqtt {

/// The window's MQTT settings as the user gave them.
struct StoredSettings {
    std::string url;      ///< mqtt://[USER@]HOST[:PORT]/PREFIX
    std::string password; ///< kept between runs only with rememberPassword
    bool rememberPassword = false;
    int qos = 1;
    std::string caFile, certFile, keyFile;
    std::string clientId; ///< empty: qvlink-HOST-window
    long long queueLimit = 100000;
    bool discovery = false;
};

/// Where the window keeps its MQTT settings between runs.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    [[nodiscard]] virtual StoredSettings load() const = 0;
    /// Keeps the settings; the password only when rememberPassword is set (else it is removed).
    virtual void save(const StoredSettings &settings) = 0;
};

/// What to publish with: nullopt with the reason in error for a URL that is not one.
[[nodiscard]] std::optional<PublishSettings>
publishSettingsOf(const StoredSettings &stored, const std::string &hostName, std::string &error);

} // namespace qv::mqtt
