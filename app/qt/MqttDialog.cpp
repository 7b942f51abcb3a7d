#include "app/qt/MqttDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace qv::app::qt {
namespace {

QString qs(const std::string &s) {
    return QString::fromStdString(s);
}

/// A file field with a "…" button that chooses the file.
QWidget *fileRow(QLineEdit *&field, const std::string &value, QWidget *parent) {
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    field = new QLineEdit(qs(value), row);
    auto *choose = new QPushButton(QStringLiteral("…"), row);
    choose->setFixedWidth(choose->fontMetrics().horizontalAdvance(QStringLiteral("…")) + 24);
    layout->addWidget(field);
    layout->addWidget(choose);
    QLineEdit *target = field;
    QObject::connect(choose, &QPushButton::clicked, row, [target, row] {
        const QString file = QFileDialog::getOpenFileName(row, QString(), target->text());
        if (!file.isEmpty())
            target->setText(file);
    });
    return row;
}

} // namespace

MqttDialog::MqttDialog(const mqtt::StoredSettings &s, QWidget *parent) : QDialog(parent) {
    setWindowTitle(tr("MQTT 设置"));
    auto *form = new QFormLayout;
    url = new QLineEdit(qs(s.url), this);
    url->setPlaceholderText(QStringLiteral("mqtt://user@host:1883/lab/meter1"));
    form->addRow(tr("代理地址 (URL):"), url);
    password = new QLineEdit(qs(s.password), this);
    password->setEchoMode(QLineEdit::Password);
    form->addRow(tr("密码:"), password);
    remember = new QCheckBox(tr("记住密码"), this);
    remember->setChecked(s.rememberPassword);
    form->addRow(QString(), remember);
    qos = new QComboBox(this);
    qos->addItem(tr("0 - 最多一次"));
    qos->addItem(tr("1 - 至少一次 (确认)"));
    qos->setCurrentIndex(s.qos == 0 ? 0 : 1);
    form->addRow(tr("服务质量 (QoS):"), qos);
    form->addRow(tr("CA 证书:"), fileRow(caFile, s.caFile, this));
    form->addRow(tr("客户端证书:"), fileRow(certFile, s.certFile, this));
    form->addRow(tr("客户端私钥:"), fileRow(keyFile, s.keyFile, this));
    clientId = new QLineEdit(qs(s.clientId), this);
    clientId->setPlaceholderText(tr("默认: qvlink-主机名-window"));
    form->addRow(tr("客户端 ID:"), clientId);
    queue = new QSpinBox(this);
    queue->setRange(1, 999999999);
    queue->setValue(static_cast<int>(std::clamp<long long>(s.queueLimit, 1, 999999999)));
    queue->setToolTip(tr("代理不可达时最多保留的消息数，满时丢弃最旧的"));
    form->addRow(tr("队列长度:"), queue);
    discovery = new QCheckBox(tr("发布 Home Assistant 自动发现配置"), this);
    discovery->setChecked(s.discovery);
    form->addRow(QString(), discovery);
    problem = new QLabel(this);
    problem->setWordWrap(true);
    problem->setStyleSheet(QStringLiteral("color: #b00000"));
    problem->hide();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &MqttDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MqttDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

mqtt::StoredSettings MqttDialog::settings() const {
    mqtt::StoredSettings s;
    s.url = url->text().trimmed().toStdString();
    s.password = password->text().toStdString();
    s.rememberPassword = remember->isChecked();
    s.qos = qos->currentIndex();
    s.caFile = caFile->text().toStdString();
    s.certFile = certFile->text().toStdString();
    s.keyFile = keyFile->text().toStdString();
    s.clientId = clientId->text().trimmed().toStdString();
    s.queueLimit = queue->value();
    s.discovery = discovery->isChecked();
    return s;
}

void MqttDialog::accept() {
    std::string error;
    if (!mqtt::parseBrokerUrl(settings().url, error)) {
        problem->setText(qs(error));
        problem->show();
        return;
    }
    QDialog::accept();
}

} // namespace qv::app::qt
