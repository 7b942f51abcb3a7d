#include "app/qt/MqttPublishing.h"

#include "app/qt/MainWindow.h"
#include "app/qt/MqttDialog.h"
#include "dmm/ReadingText.h"
#include "lang/Retranslate.h"
#include "mqtt/qt/LocalTime.h"

#include <QAction>
#include <QDateTime>
#include <QEventLoop>
#include <QMenu>
#include <QPointer>
#include <QSysInfo>
#include <QTimer>

namespace qv::app::qt {
namespace {

constexpr int kGoodbyeMs = 2000;

QString qs(const std::string &s) {
    return QString::fromStdString(s);
}

} // namespace

MqttPublishing::MqttPublishing(Program &program, MainWindow &window, mqtt::SettingsStore &store)
    : QObject(&window), program_(program), window_(window), store_(store) {
    askSettings = [this](const mqtt::StoredSettings &s) -> std::optional<mqtt::StoredSettings> {
        MqttDialog dialog(s, &window_);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.settings();
    };
    QMenu *record = window.action("mnuDMMrecord")->menu();
    record->addSeparator();
    settingsAction_ = record->addAction(QString());
    settingsAction_->setObjectName(QStringLiteral("mnuMqtt"));
    publishAction_ = record->addAction(QString());
    publishAction_->setObjectName(QStringLiteral("mnuMqttPublish"));
    publishAction_->setCheckable(true);
    (new lang::Retranslate(&window))->keep([this] {
        settingsAction_->setText(tr("MQTT…"));
        publishAction_->setText(tr("发布到 MQTT"));
        showState();
    });
    connect(settingsAction_, &QAction::triggered, this, [this] { editSettings(); });
    connect(publishAction_, &QAction::toggled, this, [this](bool on) { setPublishing(on); });

    common::Procedures &call = program_.form().call;
    liveReading_ = call.LiveReading;
    call.LiveReading = [this](double t, const std::string &reading) {
        if (liveReading_)
            liveReading_(t, reading);
        if (publisher_)
            publishReading(reading);
    };
    display_ = call.DSO_display;
    call.DSO_display = [this] {
        common::Procedures::run(display_);
        const dso::DsoDecoder &decoder = program_.dsoDecoder();
        if (decoder.framesCompleted() == framesSeen_)
            return; // a redraw, not a frame just received
        framesSeen_ = decoder.framesCompleted();
        if (publisher_ && decoder.lastFrameWhole())
            publish({topics_->frame,
                     mqtt::framePayload(now(), program_.form(), program_.measurements())});
    };
    QPointer<MqttPublishing> self(this);
    program_.form().el.Link.subscribe([self] {
        if (self && self->publisher_)
            self->publish({self->topics_->status,
                           std::string(self->program_.form().el.Link.checked() ? mqtt::kLinkBack
                                                                               : mqtt::kLinkLost),
                           true});
    });
    showState();
}

MqttPublishing::~MqttPublishing() {
    common::Procedures &call = program_.form().call;
    call.LiveReading = liveReading_;
    call.DSO_display = display_;
    if (publisher_)
        sayGoodbye();
    // An attempt waiting for a silent host ends with the process.
    for (auto &t : retired_)
        if (t->busy())
            (void)t.release();
}

void MqttPublishing::sayGoodbye() {
    publish({topics_->status, std::string(mqtt::kOffline), true});
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (publisher_->waiting() == 0 || publisher_->state() != mqtt::Publisher::State::Connected)
            loop.quit();
    });
    QTimer::singleShot(kGoodbyeMs, &loop, &QEventLoop::quit);
    poll.start(10);
    loop.exec();
    publisher_->close();
    if (transport_->busy())
        retired_.push_back(std::move(transport_));
}

std::string MqttPublishing::now() const {
    return mqtt::qt::localTimeText(QDateTime::currentDateTime());
}

void MqttPublishing::warn(const std::string &text) {
    platform::Message m;
    m.text = text;
    m.warning = true;
    (void)program_.form().os.messages.show(m);
}

void MqttPublishing::editSettings() {
    mqtt::StoredSettings current = store_.load();
    if (!current.rememberPassword)
        current.password = password_;
    const auto chosen = askSettings(current);
    if (!chosen)
        return;
    store_.save(*chosen);
    password_ = chosen->password;
    if (publisher_) { // the new settings take effect at once
        stop();
        start();
    }
}

void MqttPublishing::setPublishing(bool on) {
    if (on == (publisher_ != nullptr))
        return;
    if (on)
        start();
    else
        stop();
}

void MqttPublishing::start() {
    mqtt::StoredSettings stored = store_.load();
    if (!stored.rememberPassword)
        stored.password = password_;
    std::string error;
    const auto settings =
        mqtt::publishSettingsOf(stored, QSysInfo::machineHostName().toStdString(), error);
    if (settings) {
        topics_ = std::make_unique<mqtt::Topics>(settings->url.prefix);
        transport_ = mqtt::qt::MosquittoTransport::create(
            *settings, {topics_->status, std::string(mqtt::kOffline), true}, error);
    }
    if (!settings || !transport_) {
        publishAction_->setChecked(false);
        warn(tr("MQTT 设置有误:").toStdString() + "\n" + error);
        return showState();
    }
    broker_ = settings->url.hostPort();
    timer_ = std::make_unique<platform::qt::QtTimer>();
    mqtt::Publisher::Options options;
    options.url = settings->url;
    options.qos = settings->qos;
    options.queueLimit = settings->queueLimit;
    options.online = {topics_->status, std::string(mqtt::kOnline), true};
    publisher_ = std::make_unique<mqtt::Publisher>(*transport_, *timer_, options);
    discovery_ = settings->discovery
                     ? std::make_unique<mqtt::Discovery>(settings->url.prefix, settings->clientId)
                     : nullptr;
    publisher_->onStateChange = [this] {
        showState();
        if (publisher_->state() != mqtt::Publisher::State::Failed)
            return;
        const std::string why = publisher_->failure();
        QTimer::singleShot(0, this, [this, why] {
            stop();
            publishAction_->setChecked(false);
            warn(tr("无法连接 MQTT 代理:").toStdString() + "\n" + why);
        });
    };
    publishAction_->setChecked(true);
    publisher_->start();
    showState();
}

void MqttPublishing::stop() {
    if (!publisher_)
        return;
    if (publisher_->state() == mqtt::Publisher::State::Connected)
        publish({topics_->status, std::string(mqtt::kOffline), true});
    publisher_->close();
    publisher_.reset();
    timer_.reset();
    discovery_.reset();
    if (transport_->busy())
        retired_.push_back(std::move(transport_));
    transport_.reset();
    std::erase_if(retired_, [](const auto &t) { return !t->busy(); });
    showState();
}

void MqttPublishing::publish(mqtt::Message message) {
    publisher_->publish(std::move(message));
}

void MqttPublishing::publishReading(const std::string &reading) {
    if (discovery_)
        for (mqtt::Message &m : discovery_->before(mqtt::unitAndMode(dmm::unitField(reading)).unit))
            publish(std::move(m));
    publish({topics_->reading,
             mqtt::liveReadingPayload(now(), reading, program_.form().v.MeterModelName)});
}

void MqttPublishing::showState() {
    using State = mqtt::Publisher::State;
    QString note = tr("MQTT: 未发布");
    if (publisher_) {
        const QString broker = qs(broker_);
        switch (publisher_->state()) {
        case State::Connected:
            note = tr("MQTT: 已连接到 %1").arg(broker);
            break;
        case State::Idle:
        case State::Starting:
            note = tr("MQTT: 正在连接 %1").arg(broker);
            break;
        case State::Waiting:
            note = tr("MQTT: 与 %1 的连接已断开，正在重试 (%2)")
                       .arg(broker, qs(publisher_->failure()));
            break;
        case State::Failed:
            note = tr("MQTT: 无法连接 %1 (%2)").arg(broker, qs(publisher_->failure()));
            break;
        case State::Closed:
            break;
        }
    }
    window_.setBrokerNote(note);
}

} // namespace qv::app::qt
