#pragma once
#include <mosquitto.h>

#include <QProcess>
#include <QThread>

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace qv::mqtt::test {

/// Debian's mosquitto on a free port of 127.0.0.1, its configuration and persistence in dir.
class LocalBroker {
  public:
    /// The broker's program; empty when it is not installed.
    static std::string binary() {
        for (const char *path : {"/usr/sbin/mosquitto", "/usr/local/sbin/mosquitto"})
            if (::access(path, X_OK) == 0)
                return path;
        return {};
    }

    /// extra: more lines for the listener (TLS files, a password file).
    explicit LocalBroker(std::string dir, std::string extra = {}, bool anonymous = true)
        : dir_(std::move(dir)), extra_(std::move(extra)), anonymous_(anonymous),
          port(probe(0, false)) {}
    ~LocalBroker() { stop(SIGKILL); }

    /// Starts the broker and waits (up to 10 s) until it takes connections.
    bool start() {
        std::filesystem::create_directory(dir_);
        std::ofstream(dir_ + "/broker.conf")
            << "persistence true\npersistence_location " << dir_ << "/\n"
            << "max_queued_messages 0\nuser root\n" // root keeps its own files readable
            << "listener " << port << " 127.0.0.1\nallow_anonymous "
            << (anonymous_ ? "true\n" : "false\n") << extra_;
        process_.setStandardOutputFile(QString::fromStdString(dir_ + "/broker.log"),
                                       QIODevice::Append);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(QString::fromStdString(binary()),
                       {"-c", QString::fromStdString(dir_ + "/broker.conf")});
        if (!process_.waitForStarted())
            return false;
        for (auto end = deadline(10000); std::chrono::steady_clock::now() < end; QThread::msleep(5))
            if (process_.state() != QProcess::Running || probe(port, true))
                return process_.state() == QProcess::Running; // taking connections, or ended
        return false;
    }
    /// Ends the broker with the signal (SIGTERM saves its sessions) and waits for its end.
    void stop(int signal = SIGTERM) {
        if (process_.state() == QProcess::NotRunning)
            return;
        ::kill(static_cast<pid_t>(process_.processId()), signal);
        process_.waitForFinished(10000);
    }

    static std::chrono::steady_clock::time_point deadline(int ms) {
        return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    }

  private:
    /// Port 0 bound: a free port; a port connected: true when something listens there.
    static int probe(int port, bool connect) {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{AF_INET, htons(std::uint16_t(port)), {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof a;
        auto *at = reinterpret_cast<sockaddr *>(&a);
        int out = connect ? ::connect(s, at, size) == 0
                          : (::bind(s, at, size), ::getsockname(s, at, &size), ntohs(a.sin_port));
        ::close(s);
        return out;
    }

    std::string dir_, extra_;
    bool anonymous_;
    QProcess process_;

  public:
    const int port;
};

/// A host that never answers on 127.0.0.1: a listener whose queue of one is full drops every
/// further SYN, so a connection waits for the system's timeout (two minutes).
struct SilentHost {
    SilentHost() {
        sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof a;
        const auto at = reinterpret_cast<sockaddr *>(&a);
        (void)(::bind(listener, at, size) || ::listen(listener, 0) ||
               ::getsockname(listener, at, &size) || ::connect(filler, at, size));
        port = ntohs(a.sin_port);
    }
    ~SilentHost() { ::close(filler), ::close(listener); }
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0),
              filler = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
};

/// A QoS 1 subscriber on its own thread; with an id its session outlives the broker's restart.
class Subscriber {
  public:
    struct Received {
        std::string topic, payload;
        bool retained;
    };

    Subscriber(int port, const std::string &topic, const std::string &id = {}) : topic_(topic) {
        mosquitto_lib_init();
        client_ = mosquitto_new(id.empty() ? nullptr : id.c_str(), id.empty(), this);
        mosquitto_connect_callback_set(client_, [](mosquitto *m, void *self, int rc) {
            if (rc == 0)
                mosquitto_subscribe(m, nullptr, static_cast<Subscriber *>(self)->topic_.c_str(), 1);
        });
        mosquitto_subscribe_callback_set(
            client_, [](mosquitto *, void *s, int, int, const int *) { arrived(s, nullptr); });
        mosquitto_message_callback_set(
            client_, [](mosquitto *, void *s, const mosquitto_message *m) { arrived(s, m); });
        mosquitto_reconnect_delay_set(client_, 1, 1, false);
        mosquitto_connect(client_, "127.0.0.1", port, 30);
        mosquitto_loop_start(client_);
        std::unique_lock lock(mutex_);
        changed_.wait_until(lock, LocalBroker::deadline(10000), [this] { return subscribed_; });
    }
    ~Subscriber() {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, false);
        mosquitto_destroy(client_);
    }
    /// Waits up to ms for done() over what has arrived; what done() said last.
    bool waitFor(const std::function<bool(const std::vector<Received> &)> &done, int ms = 20000) {
        std::unique_lock lock(mutex_);
        return changed_.wait_until(lock, LocalBroker::deadline(ms),
                                   [&] { return done(received_); });
    }
    std::vector<Received> received() {
        const std::lock_guard lock(mutex_);
        return received_;
    }
    /// The payloads on one topic, in order.
    std::vector<std::string> on(const std::string &topic) { return on(received(), topic); }
    static std::vector<std::string> on(const std::vector<Received> &got, const std::string &topic) {
        std::vector<std::string> out;
        for (const Received &r : got)
            if (r.topic == topic)
                out.push_back(r.payload);
        return out;
    }

  private:
    /// On the client's thread: a message, or with none the subscription's acknowledgement.
    static void arrived(void *self, const mosquitto_message *m) {
        auto &s = *static_cast<Subscriber *>(self);
        const std::lock_guard lock(s.mutex_);
        const auto *payload = m ? static_cast<const char *>(m->payload) : nullptr;
        if (m)
            s.received_.push_back({m->topic, {payload, payload + m->payloadlen}, m->retain});
        else
            s.subscribed_ = true;
        s.changed_.notify_all();
    }

    std::string topic_;
    mosquitto *client_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Received> received_;
    bool subscribed_ = false;
};

} // namespace qv::mqtt::test
