#pragma once
#include "mqtt/Message.h"

#include <optional>
#include <string>

namespace qv::mqtt {

/// Why an attempt to reach the broker failed, or why the connection ended.
struct Failure {
    enum class Kind {
        Lookup,  ///< the host name is not known
        Connect, ///< no connection (refused, unreachable)
        Tls,     ///< the TLS handshake failed
        Refused, ///< the broker refused the client (user, password, client id)
        Lost,    ///< a connection that was up ended
        Silent,  ///< no answer in time
    };
    Kind kind = Kind::Connect;
    std::string detail; ///< the library's or the system's words: "Connection refused"
};

/// What a transport reports, on the thread of the publisher that owns it.
class TransportEvents {
  public:
    virtual ~TransportEvents() = default;
    virtual void connected() = 0;
    /// An attempt failed, or the connection ended without being asked to.
    virtual void failed(const Failure &failure) = 0;
    /// The message handed over with this id has gone (QoS 0) or was acknowledged (QoS 1).
    virtual void published(int id) = 0;
};

/// The connection to one broker, with the client's id, session, credentials and last will set
/// when it is made. Messages handed over while connected and not yet acknowledged stay with it
/// and go again after a reconnect, in order.
class Transport {
  public:
    virtual ~Transport() = default;
    virtual void setEvents(TransportEvents *events) = 0;
    /// Starts one attempt to connect; its outcome comes as an event.
    virtual void connect() = 0;
    /// Hands a message over; its id, none when it cannot be taken now.
    [[nodiscard]] virtual std::optional<int> publish(const Message &message, int qos) = 0;
    /// Ends the connection cleanly: the broker keeps the last will to itself.
    virtual void disconnect() = 0;
};

} // namespace qv::mqtt
