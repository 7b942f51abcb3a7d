#pragma once
#include "mqtt/SettingsStore.h"

namespace qv::mqtt::fakes {

/// Settings kept in memory instead of the user's real ones: `kept` is what a next run would load.
class FakeSettingsStore final : public SettingsStore {
  public:
    StoredSettings kept;
    StoredSettings load() const override { return kept; }
    void save(const StoredSettings &s) override {
        kept = s;
        if (!s.rememberPassword)
            kept.password.clear();
    }
};

} // namespace qv::mqtt::fakes
