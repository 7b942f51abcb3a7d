#pragma once
#include "platform/SerialDevices.h"
#include "platform/Timer.h"

#include <deque>

namespace qv::platform::fakes {

/// The system's device list as a test sets it.
class FakeSerialDevices final : public SerialDevices {
  public:
    std::vector<SerialDeviceInfo> devices;
    mutable int reads = 0; ///< how often the list was read
    std::vector<SerialDeviceInfo> list() const override {
        ++reads;
        return devices;
    }
};

/// Settings kept in memory instead of the user's real ones.
class FakeDeviceMemory final : public DeviceMemory {
  public:
    std::optional<DeviceIdentity> device;
    std::optional<DeviceIdentity> recall() const override { return device; }
    void remember(const DeviceIdentity &d) override { device = d; }
};

/// The device dialog answering from a script (nullopt: Cancel); with nothing left it cancels.
class ScriptedDeviceChooser final : public DeviceChooser {
  public:
    std::deque<std::optional<std::string>> answers;
    int asked = 0;
    std::optional<std::string> chooseDevice(const SerialDevices &) override {
        ++asked;
        if (answers.empty())
            return std::nullopt;
        std::optional<std::string> a = answers.front();
        answers.pop_front();
        return a;
    }
};

/// A timer that ticks only when the test calls fire().
class FakeTimer final : public Timer {
  public:
    int intervalMs = 0;
    void start(int ms, std::function<void()> tick) override {
        intervalMs = ms;
        tick_ = std::move(tick);
        active_ = true;
    }
    void stop() override { active_ = false; }
    bool active() const override { return active_; }
    /// One tick, as the event loop would run it; nothing while stopped.
    void fire() {
        if (active_ && tick_)
            tick_();
    }

  private:
    std::function<void()> tick_;
    bool active_ = false;
};

} // namespace qv::platform::fakes
