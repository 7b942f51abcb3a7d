#pragma once
#include "mqtt/Transport.h"

#include <vector>

namespace qv::mqtt::fakes {

/// A transport that records what it is handed; the test plays the broker through the events.
class FakeTransport final : public Transport {
  public:
    struct Sent {
        Message message;
        int qos, id;
    };
    std::vector<Sent> sent;
    int connects = 0, disconnects = 0;
    bool up = false; ///< whether publish takes messages

    void setEvents(TransportEvents *e) override { events = e; }
    void connect() override { ++connects; }
    std::optional<int> publish(const Message &m, int qos) override {
        if (!up)
            return std::nullopt;
        sent.push_back({m, qos, ++lastId});
        return lastId;
    }
    void disconnect() override {
        ++disconnects;
        up = false;
    }

    void connected() {
        up = true;
        events->connected();
    }
    void fail(Failure::Kind kind, const std::string &detail) {
        up = false;
        events->failed({kind, detail});
    }
    /// The broker acknowledges every message handed over so far.
    void ackAll() {
        for (int id = acked + 1; id <= lastId; ++id)
            events->published(id);
        acked = lastId;
    }

    TransportEvents *events = nullptr;
    int lastId = 0, acked = 0;
};

} // namespace qv::mqtt::fakes
