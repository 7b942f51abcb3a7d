#pragma once
#include "mqtt/Backoff.h"
#include "mqtt/BrokerUrl.h"
#include "mqtt/MessageQueue.h"
#include "mqtt/Transport.h"
#include "platform/Timer.h"

#include <functional>
#include <string>
#include <unordered_set>

namespace qv::mqtt {

/// Publishes messages through a transport without ever making the caller wait: messages queue
/// (bounded, the oldest dropped first) until the broker takes them, at most `window` at a time
/// unacknowledged. The first attempt to connect decides: a failure there is final (failed()), a
/// connection lost later is tried again after 1 s, 2 s, 4 s, ... up to 30 s, and the queue then
/// drains in order. Every (re)connection first publishes the retained "online" status.
class Publisher final : public TransportEvents {
  public:
    enum class State {
        Idle,      ///< not started
        Starting,  ///< the first attempt is under way
        Connected, ///< messages go out
        Waiting,   ///< the connection was lost: waiting to try again, or trying
        Failed,    ///< the first attempt failed; failure() says why
        Closed,    ///< ended by close()
    };
    struct Options {
        BrokerUrl url;
        int qos = 1;
        std::size_t queueLimit = 100000;
        std::size_t window = 4000;  ///< messages handed over and not yet acknowledged
        int startTimeoutMs = 10000; ///< how long the first attempt may take
        Message online;             ///< published (retained) on each connection
    };

    Publisher(Transport &transport, platform::Timer &timer, Options options);
    ~Publisher() override;

    /// Makes the first attempt to connect.
    void start();
    /// Queues a message and sends what the broker can take.
    void publish(Message message);
    /// Ends the connection cleanly (after the last message if still connected).
    void close();

    [[nodiscard]] State state() const { return state_; }
    /// Why the first attempt failed, or why the last connection ended; empty when neither.
    [[nodiscard]] const std::string &failure() const { return failure_; }
    /// Messages acknowledged by the broker (QoS 1) or sent (QoS 0).
    [[nodiscard]] long long published() const { return published_; }
    /// Messages the full queue pushed out.
    [[nodiscard]] long long dropped() const { return queue_.dropped(); }
    /// Messages queued or handed over and not yet acknowledged.
    [[nodiscard]] long long waiting() const {
        return static_cast<long long>(queue_.size() + inFlight_.size());
    }
    /// Called whenever state() changes.
    std::function<void()> onStateChange;

    void connected() override;
    void failed(const Failure &failure) override;
    void published(int id) override;

  private:
    void setState(State state);
    void pump();
    void send(const Message &message);
    void retryLater();

    Transport &transport_;
    platform::Timer &timer_;
    Options options_;
    MessageQueue queue_;
    Backoff backoff_;
    std::unordered_set<int> inFlight_;
    State state_ = State::Idle;
    std::string failure_;
    long long published_ = 0;
};

} // namespace qv::mqtt
