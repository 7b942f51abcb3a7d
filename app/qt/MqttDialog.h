#pragma once
#include "mqtt/SettingsStore.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace qv::app::qt {

/// Record > "MQTT…": the broker's URL, the password (kept between runs only when "remember" is
/// ticked), the quality of service, the TLS files, the client id, the queue and Home
/// Assistant's discovery. OK is refused, with the reason under the fields, while the URL is not
/// one.
class MqttDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit MqttDialog(const mqtt::StoredSettings &settings, QWidget *parent = nullptr);

    /// The settings as the fields stand.
    [[nodiscard]] mqtt::StoredSettings settings() const;
    void accept() override;

    QLineEdit *url = nullptr;
    QLineEdit *password = nullptr;
    QCheckBox *remember = nullptr;
    QComboBox *qos = nullptr;
    QLineEdit *caFile = nullptr, *certFile = nullptr, *keyFile = nullptr;
    QLineEdit *clientId = nullptr;
    QSpinBox *queue = nullptr;
    QCheckBox *discovery = nullptr;
    QLabel *problem = nullptr;
};

} // namespace qv::app::qt
