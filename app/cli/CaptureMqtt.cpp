#include "app/cli/CaptureMqtt.h"

#include "app/cli/Cli.h"
#include "files/FileStore.h"
#include "mqtt/qt/MosquittoTransport.h"
#include "platform/qt/serial/QtTimer.h"

#include <QEventLoop>
#include <QTimer>

namespace qv::app::cli {
namespace {

constexpr int kDrainMs = 10000;

/// The TLS files must be readable before the client takes them: it only says "invalid".
std::string unreadable(const mqtt::PublishSettings &s) {
    for (const std::string *file : {&s.caFile, &s.certFile, &s.keyFile})
        if (!file->empty() && !files::FileStore::readLines(*file, 1, 64))
            return "cannot read the TLS file " + *file;
    return {};
}

} // namespace

CaptureMqtt::CaptureMqtt(std::optional<MqttArguments> arguments)
    : arguments_(std::move(arguments)) {}

CaptureMqtt::~CaptureMqtt() = default;

int CaptureMqtt::start() {
    if (!arguments_)
        return kDone;
    mqtt::PublishSettings &s = arguments_->settings;
    const auto refused = [](int code, const std::string &why) {
        complain(why);
        return code;
    };
    std::string error;
    if (!arguments_->passwordFile.empty()) {
        s.password = readPasswordFile(arguments_->passwordFile, error);
        if (!s.password)
            return refused(kInputRefused, error);
    }
    if (const std::string fault = unreadable(s); !fault.empty())
        return refused(kInputRefused, fault);
    topics_ = std::make_unique<mqtt::Topics>(s.url.prefix);
    const mqtt::Message offline{topics_->status, std::string(mqtt::kOffline), true};
    transport_ = mqtt::qt::MosquittoTransport::create(s, offline, error);
    if (!transport_)
        return refused(kOutputFailed, error);
    timer_ = std::make_unique<platform::qt::QtTimer>();
    mqtt::Publisher::Options options;
    options.url = s.url;
    options.qos = s.qos;
    options.queueLimit = s.queueLimit;
    options.online = {topics_->status, std::string(mqtt::kOnline), true};
    publisher_ = std::make_unique<mqtt::Publisher>(*transport_, *timer_, options);
    if (s.discovery)
        discovery_ = std::make_unique<mqtt::Discovery>(s.url.prefix, s.clientId);
    publisher_->start();
    waitFor([this] { return publisher_->state() != mqtt::Publisher::State::Starting; }, 60000);
    if (publisher_->state() == mqtt::Publisher::State::Connected)
        return kDone;
    complain(publisher_->failure());
    publisher_.reset();
    // A host that never answered keeps its attempt until the system's connect timeout: the
    // capture ends now and leaves it to the process's end.
    if (transport_->busy())
        (void)transport_.release();
    return kOutputFailed;
}

void CaptureMqtt::waitFor(const std::function<bool()> &done, int ms) {
    if (done())
        return;
    QEventLoop loop;
    QTimer poll, deadline;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(10);
    deadline.setSingleShot(true);
    deadline.start(ms);
    loop.exec();
}

void CaptureMqtt::reading(const std::string &time, std::string_view logLine,
                          const std::string &model) {
    if (!publisher_)
        return;
    if (discovery_)
        for (mqtt::Message &m : discovery_->before(mqtt::readingUnit(logLine)))
            publisher_->publish(std::move(m));
    publisher_->publish({topics_->reading, mqtt::readingPayload(time, logLine, model)});
}

void CaptureMqtt::frame(const std::string &time, const common::Form &form,
                        const dso::Measurements &m) {
    if (publisher_)
        publisher_->publish({topics_->frame, mqtt::framePayload(time, form, m)});
}

void CaptureMqtt::link(bool lost) {
    if (publisher_)
        publisher_->publish(
            {topics_->status, std::string(lost ? mqtt::kLinkLost : mqtt::kLinkBack), true});
}

long long CaptureMqtt::droppedToNote(bool ending) {
    if (!publisher_ || publisher_->dropped() == noted_)
        return 0;
    if (!ending && publisher_->state() != mqtt::Publisher::State::Connected)
        return 0;
    noted_ = publisher_->dropped();
    return noted_;
}

void CaptureMqtt::finish() {
    if (!publisher_ || finished_)
        return;
    finished_ = true;
    using State = mqtt::Publisher::State;
    publisher_->publish({topics_->status, std::string(mqtt::kOffline), true});
    waitFor(
        [this] { return publisher_->waiting() == 0 || publisher_->state() != State::Connected; },
        kDrainMs);
    undelivered_ = publisher_->waiting();
    publisher_->close();
}

std::string CaptureMqtt::summaryText() const {
    if (!publisher_)
        return {};
    std::string text = "mqtt: " + std::to_string(publisher_->published()) + " published";
    if (publisher_->dropped() > 0)
        text += ", " + std::to_string(publisher_->dropped()) + " dropped (queue full)";
    if (undelivered_ > 0)
        text += ", " + std::to_string(undelivered_) + " undelivered";
    return text;
}

} // namespace qv::app::cli
