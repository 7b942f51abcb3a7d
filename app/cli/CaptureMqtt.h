#pragma once
#include "app/cli/MqttArguments.h"
#include "common/Form.h"
#include "dso/Measurements.h"
#include "mqtt/Discovery.h"
#include "mqtt/Payloads.h"
#include "mqtt/Publisher.h"
#include "platform/Timer.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qv::mqtt::qt {
class MosquittoTransport;
}

namespace qv::app::cli {

/// What a capture publishes with --mqtt: each reading and frame it keeps, and the link's state,
/// never waiting for the broker. Does nothing without --mqtt.
class CaptureMqtt {
  public:
    explicit CaptureMqtt(std::optional<MqttArguments> arguments);
    ~CaptureMqtt();

    /// Connects before the capture begins, waiting for the broker's answer: kDone, or the exit
    /// code after a one-line message (3: a password file that cannot be read, 4: the broker).
    [[nodiscard]] int start();
    void reading(const std::string &time, std::string_view logLine, const std::string &model);
    void frame(const std::string &time, const common::Form &form, const dso::Measurements &m);
    /// The meter's link was lost (true) or came back (false).
    void link(bool lost);
    /// The messages dropped so far when there are more than last time and the broker takes
    /// messages again (or `ending`); 0 otherwise.
    [[nodiscard]] long long droppedToNote(bool ending);
    /// Delivers what waits (for up to 10 s while connected), publishes "offline" and
    /// disconnects.
    void finish();
    /// "mqtt: 20 published, 3 dropped, 2 undelivered"; empty without --mqtt.
    [[nodiscard]] std::string summaryText() const;

  private:
    void waitFor(const std::function<bool()> &done, int ms);

    std::optional<MqttArguments> arguments_;
    std::unique_ptr<mqtt::Topics> topics_;
    std::unique_ptr<platform::Timer> timer_;
    std::unique_ptr<mqtt::qt::MosquittoTransport> transport_;
    std::unique_ptr<mqtt::Publisher> publisher_;
    std::unique_ptr<mqtt::Discovery> discovery_;
    long long noted_ = 0, undelivered_ = 0;
    bool finished_ = false;
};

} // namespace qv::app::cli
