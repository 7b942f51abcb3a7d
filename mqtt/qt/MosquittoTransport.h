#pragma once
#include "mqtt/PublishSettings.h"
#include "mqtt/Transport.h"
#include "mqtt/qt/MosquittoLibrary.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qv::mqtt::qt {

/// The transport through libmosquitto. Each attempt to connect runs on a thread of its own (a
/// name lookup or a silent host may take long), then libmosquitto's network thread
/// (mosquitto_loop_start) carries the connection; what either reports reaches the events on this
/// object's thread through one queued call per batch. QoS 1 messages not yet acknowledged stay in
/// libmosquitto and go again after a reconnect (the session is kept: clean session off).
class MosquittoTransport final : public QObject, public Transport {
    Q_OBJECT
  public:
    /// The client set up (id, credentials, TLS files, the retained last will); nullptr with the
    /// reason in error when libmosquitto is missing or refuses a setting (a TLS file it cannot
    /// read).
    [[nodiscard]] static std::unique_ptr<MosquittoTransport>
    create(const PublishSettings &settings, const Message &will, std::string &error);
    ~MosquittoTransport() override;

    void setEvents(TransportEvents *events) override { events_ = events; }
    void connect() override;
    [[nodiscard]] std::optional<int> publish(const Message &message, int qos) override;
    void disconnect() override;
    /// An attempt is still under way (a host that never answers keeps it for the system's
    /// connect timeout): disconnect() leaves it to end on its own; destroying the transport
    /// now would wait for it.
    [[nodiscard]] bool busy() const { return busy_; }

  private:
    struct Event {
        enum class Type { Connected, Failed, Published } type;
        Failure failure;
        int id = 0;
        int attempt = 0;
    };

    MosquittoTransport(const MosquittoLibrary &lib, mosquitto *client,
                       const PublishSettings &settings);
    /// Joins the threads of the last attempt, which has ended.
    void settle();
    /// The attempt was given up by disconnect() while it connected.
    [[nodiscard]] bool givenUp(int attempt);
    void post(Event event);
    void deliver();
    [[nodiscard]] Failure failureOf(int rc, int error);

    static void onConnect(mosquitto *client, void *self, int rc);
    static void onDisconnect(mosquitto *client, void *self, int rc);
    static void onPublish(mosquitto *client, void *self, int id);
    static void onLog(mosquitto *client, void *self, int level, const char *text);

    const MosquittoLibrary lib_;
    mosquitto *client_;
    PublishSettings settings_;
    TransportEvents *events_ = nullptr;
    std::thread attempt_;
    bool looping_ = false; ///< the network thread was started by the last attempt
    bool everTried_ = false;
    std::atomic<bool> busy_ = false;

    std::mutex mutex_; ///< guards what follows, shared with the network thread
    std::vector<Event> pending_;
    int attemptNumber_ = 0; ///< the attempt under way; events of older ones are dropped
    bool reported_ = false; ///< the attempt's outcome was reported
    bool upNow_ = false;    ///< the attempt's connection is up
    std::string tlsError_;  ///< the library's last TLS message in this attempt
};

} // namespace qv::mqtt::qt
