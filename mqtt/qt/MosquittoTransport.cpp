#include "mqtt/qt/MosquittoTransport.h"

#include <QMetaObject>

#include <cerrno>
#include <cstring>
#include <netdb.h>

namespace qv::mqtt::qt {
namespace {

constexpr int kKeepAliveS = 30;
/// Unacknowledged messages on the wire; the publisher hands over more, which libmosquitto keeps
/// and sends as acknowledgements come, without waiting for the event loop.
constexpr int kSendMaximum = 100;

/// "Connection Refused: not authorised." as "not authorised".
std::string connackText(const MosquittoLibrary &lib, int rc) {
    std::string text = lib.connackString(rc);
    const std::string lead = "Connection Refused: ";
    if (text.starts_with(lead))
        text.erase(0, lead.size());
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

const char *orNull(const std::string &s) {
    return s.empty() ? nullptr : s.c_str();
}

} // namespace

std::unique_ptr<MosquittoTransport> MosquittoTransport::create(const PublishSettings &settings,
                                                               const Message &will,
                                                               std::string &error) {
    const std::optional<MosquittoLibrary> lib = MosquittoLibrary::load(error);
    if (!lib)
        return nullptr;
    static const int initialised = lib->libInit(); // once for the process, as before
    (void)initialised;
    mosquitto *client = lib->make(settings.clientId.c_str(), false, nullptr);
    if (!client) {
        error = "cannot make the MQTT client " + settings.clientId + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<MosquittoTransport> t(new MosquittoTransport(*lib, client, settings));
    lib->userDataSet(client, t.get());
    lib->connectCallbackSet(client, onConnect);
    lib->disconnectCallbackSet(client, onDisconnect);
    lib->publishCallbackSet(client, onPublish);
    lib->logCallbackSet(client, onLog);
    (void)lib->intOption(client, MOSQ_OPT_SEND_MAXIMUM, kSendMaximum);
    // Small messages go at once rather than waiting for the broker's last acknowledgement.
    (void)lib->intOption(client, MOSQ_OPT_TCP_NODELAY, 1);
    int rc = MOSQ_ERR_SUCCESS;
    if (!settings.url.user.empty())
        rc = lib->usernamePwSet(client, settings.url.user.c_str(),
                                settings.password ? settings.password->c_str() : nullptr);
    if (rc == MOSQ_ERR_SUCCESS)
        rc = lib->willSet(client, will.topic.c_str(), static_cast<int>(will.payload.size()),
                          will.payload.data(), 1, will.retain);
    if (rc == MOSQ_ERR_SUCCESS && settings.url.tls) {
        if (settings.caFile.empty())
            (void)lib->intOption(client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        rc = lib->tlsSet(client, orNull(settings.caFile),
                         settings.caFile.empty() ? "/etc/ssl/certs" : nullptr,
                         orNull(settings.certFile), orNull(settings.keyFile), nullptr);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        error = std::string("the MQTT client refused its settings: ") + lib->strerror(rc);
        return nullptr;
    }
    return t;
}

MosquittoTransport::MosquittoTransport(const MosquittoLibrary &lib, mosquitto *client,
                                       const PublishSettings &settings)
    : lib_(lib), client_(client), settings_(settings) {}

MosquittoTransport::~MosquittoTransport() {
    disconnect();
    settle();
    lib_.destroy(client_);
}

void MosquittoTransport::settle() {
    if (attempt_.joinable())
        attempt_.join();
    if (looping_) {
        (void)lib_.loopStop(client_, false);
        looping_ = false;
    }
}

void MosquittoTransport::connect() {
    settle();
    int attempt = 0;
    {
        const std::lock_guard lock(mutex_);
        attempt = ++attemptNumber_;
        reported_ = upNow_ = false;
        tlsError_.clear();
    }
    const bool first = !everTried_;
    everTried_ = true;
    busy_ = true;
    // A blocking connection (lookup, TCP, TLS handshake) on the attempt's own thread: its errors
    // come back exact, and the event loop never waits for it.
    attempt_ = std::thread([this, first, attempt] {
        int rc = first ? lib_.connect(client_, settings_.url.host.c_str(), settings_.url.port,
                                      kKeepAliveS)
                       : lib_.reconnect(client_);
        const int error = errno;
        if (rc == MOSQ_ERR_SUCCESS && givenUp(attempt)) { // disconnected while it connected
            (void)lib_.disconnect(client_);
            busy_ = false;
            return;
        }
        if (rc == MOSQ_ERR_SUCCESS) {
            rc = lib_.loopStart(client_);
            looping_ = rc == MOSQ_ERR_SUCCESS;
        }
        if (!looping_) {
            const std::lock_guard lock(mutex_);
            if (!reported_ && attempt == attemptNumber_) {
                reported_ = true;
                post({Event::Type::Failed, failureOf(rc, error), 0, attempt});
            }
        }
        busy_ = false;
    });
}

std::optional<int> MosquittoTransport::publish(const Message &message, int qos) {
    int id = 0;
    const int rc =
        lib_.publish(client_, &id, message.topic.c_str(), static_cast<int>(message.payload.size()),
                     message.payload.data(), qos, message.retain);
    // A QoS 1 message the library took while the connection was going stays with it.
    if (rc == MOSQ_ERR_SUCCESS || (rc == MOSQ_ERR_NO_CONN && qos > 0 && id != 0))
        return id;
    return std::nullopt;
}

bool MosquittoTransport::givenUp(int attempt) {
    const std::lock_guard lock(mutex_);
    return attempt != attemptNumber_;
}

void MosquittoTransport::disconnect() {
    {
        const std::lock_guard lock(mutex_);
        ++attemptNumber_; // what the ending connection still reports is no news
        reported_ = true;
    }
    // An attempt still connecting (a silent host holds it for the system's connect timeout)
    // ends on its own thread and drops what it gets; waiting for it would block the caller.
    if (busy_)
        return;
    (void)lib_.disconnect(client_);
    settle();
}

Failure MosquittoTransport::failureOf(int rc, int error) {
    if (!tlsError_.empty())
        return {Failure::Kind::Tls, tlsError_};
    switch (rc) {
    case MOSQ_ERR_TLS:
        return {Failure::Kind::Tls, lib_.strerror(rc)};
    case MOSQ_ERR_EAI:
        return {Failure::Kind::Lookup, gai_strerror(error)};
    case MOSQ_ERR_ERRNO:
        return {Failure::Kind::Connect, std::strerror(error)};
    default:
        return {Failure::Kind::Connect, lib_.strerror(rc)};
    }
}

void MosquittoTransport::post(Event event) {
    const bool first = pending_.empty();
    pending_.push_back(std::move(event));
    if (first)
        QMetaObject::invokeMethod(
            this, [this] { deliver(); }, Qt::QueuedConnection);
}

void MosquittoTransport::deliver() {
    std::vector<Event> events;
    int current = 0;
    {
        const std::lock_guard lock(mutex_);
        events.swap(pending_);
        current = attemptNumber_;
    }
    for (const Event &e : events) {
        if (!events_)
            return;
        switch (e.type) {
        case Event::Type::Published:
            events_->published(e.id);
            break;
        case Event::Type::Connected:
            if (e.attempt == current)
                events_->connected();
            break;
        case Event::Type::Failed:
            if (e.attempt == current)
                events_->failed(e.failure);
            break;
        }
    }
}

void MosquittoTransport::onConnect(mosquitto *client, void *self, int rc) {
    auto *t = static_cast<MosquittoTransport *>(self);
    const std::lock_guard lock(t->mutex_);
    if (t->reported_)
        return;
    if (rc == 0) {
        t->upNow_ = true;
        return t->post({Event::Type::Connected, {}, 0, t->attemptNumber_});
    }
    t->reported_ = true;
    t->post({Event::Type::Failed,
             {Failure::Kind::Refused, connackText(t->lib_, rc)},
             0,
             t->attemptNumber_});
    (void)t->lib_.disconnect(client); // the network thread ends
}

void MosquittoTransport::onDisconnect(mosquitto *client, void *self, int rc) {
    const int error = errno;
    auto *t = static_cast<MosquittoTransport *>(self);
    // The network thread ends here, whatever happened: the publisher decides when to try again.
    (void)t->lib_.disconnect(client);
    const std::lock_guard lock(t->mutex_);
    if (rc == 0 || t->reported_)
        return;
    t->reported_ = true;
    const Failure failure =
        t->upNow_ ? Failure{Failure::Kind::Lost, t->lib_.strerror(rc)} : t->failureOf(rc, error);
    t->post({Event::Type::Failed, failure, 0, t->attemptNumber_});
}

void MosquittoTransport::onPublish(mosquitto *, void *self, int id) {
    auto *t = static_cast<MosquittoTransport *>(self);
    const std::lock_guard lock(t->mutex_);
    t->post({Event::Type::Published, {}, id, 0});
}

void MosquittoTransport::onLog(mosquitto *, void *self, int level, const char *text) {
    const std::string_view line(text ? text : "");
    if ((level & MOSQ_LOG_ERR) == 0 || !line.starts_with("OpenSSL Error"))
        return;
    auto *t = static_cast<MosquittoTransport *>(self);
    const auto colon = line.find_last_of(':');
    std::string why(line.substr(colon == std::string_view::npos ? 0 : colon + 1));
    while (!why.empty() && why.front() == ' ')
        why.erase(0, 1);
    const std::lock_guard lock(t->mutex_);
    if (t->tlsError_.empty())
        t->tlsError_ = why;
    // A handshake that failed is the attempt's end, whether or not the library goes on to say
    // it disconnected (it does not always): told now, not as silence when the start times out.
    if (t->reported_ || t->upNow_)
        return;
    t->reported_ = true;
    t->post({Event::Type::Failed, {Failure::Kind::Tls, t->tlsError_}, 0, t->attemptNumber_});
}

} // namespace qv::mqtt::qt
