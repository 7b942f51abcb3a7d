#pragma once
#include "app/Program.h"
#include "mqtt/Discovery.h"
#include "mqtt/Payloads.h"
#include "mqtt/Publisher.h"
#include "mqtt/SettingsStore.h"
#include "mqtt/qt/MosquittoTransport.h"
#include "platform/qt/serial/QtTimer.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;

namespace qv::app::qt {

class MainWindow;

/// The window's publishing to an MQTT broker: Record > "MQTT…" (the settings) and a check item
/// that turns publishing on and off; while on, every live reading and every frame received
/// whole, and the link's coming and going, as `qvlink capture --mqtt` publishes them. Panel 1's
/// tool tip tells whether the broker is connected.
class MqttPublishing final : public QObject {
    Q_OBJECT
  public:
    MqttPublishing(Program &program, MainWindow &window, mqtt::SettingsStore &store);
    ~MqttPublishing() override;

    [[nodiscard]] QAction *settingsAction() const { return settingsAction_; }
    [[nodiscard]] QAction *publishAction() const { return publishAction_; }
    /// Asks for the settings (the modal MqttDialog unless replaced); nullopt: cancelled.
    std::function<std::optional<mqtt::StoredSettings>(const mqtt::StoredSettings &)> askSettings;
    /// The publisher while publishing is on; nullptr otherwise.
    [[nodiscard]] const mqtt::Publisher *publisher() const { return publisher_.get(); }

  private:
    void editSettings();
    void setPublishing(bool on);
    void start();
    void stop();
    /// Publishes "offline" and closes, waiting a moment for the broker to take what is queued.
    void sayGoodbye();
    void showState();
    /// A warning box with the text.
    void warn(const std::string &text);
    void publish(mqtt::Message message);
    void publishReading(const std::string &reading);
    [[nodiscard]] std::string now() const;

    Program &program_;
    MainWindow &window_;
    mqtt::SettingsStore &store_;
    std::string password_; ///< this run's password when it is not remembered
    QAction *settingsAction_ = nullptr;
    QAction *publishAction_ = nullptr;
    std::function<void(double, const std::string &)> liveReading_;
    std::function<void()> display_;
    long long framesSeen_ = 0;

    std::unique_ptr<mqtt::Topics> topics_;
    std::string broker_; ///< HOST:PORT
    std::unique_ptr<platform::qt::QtTimer> timer_;
    std::unique_ptr<mqtt::qt::MosquittoTransport> transport_;
    std::unique_ptr<mqtt::Publisher> publisher_;
    std::unique_ptr<mqtt::Discovery> discovery_;
    /// Transports whose attempt to connect had not ended when publishing was turned off.
    std::vector<std::unique_ptr<mqtt::qt::MosquittoTransport>> retired_;
};

} // namespace qv::app::qt
