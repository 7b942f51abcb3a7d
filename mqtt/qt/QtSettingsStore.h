#pragma once
#include "mqtt/SettingsStore.h"

namespace qv::mqtt::qt {

/// The MQTT settings in QSettings ("qvlink", group "mqtt"), the platform's usual place.
class QtSettingsStore final : public SettingsStore {
  public:
    StoredSettings load() const override;
    void save(const StoredSettings &settings) override;
};

} // namespace qv::mqtt::qt
