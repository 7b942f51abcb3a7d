#include "mqtt/Publisher.h"

#include "mqtt/MqttTexts.h"

#include <utility>

namespace qv::mqtt {

Publisher::Publisher(Transport &transport, platform::Timer &timer, Options options)
    : transport_(transport), timer_(timer), options_(std::move(options)),
      queue_(options_.queueLimit) {
    transport_.setEvents(this);
}

Publisher::~Publisher() {
    timer_.stop();
    transport_.setEvents(nullptr);
}

void Publisher::setState(State state) {
    if (state == state_)
        return;
    state_ = state;
    if (onStateChange)
        onStateChange();
}

void Publisher::start() {
    if (state_ != State::Idle)
        return;
    setState(State::Starting);
    timer_.start(options_.startTimeoutMs, [this] {
        timer_.stop();
        const int seconds = options_.startTimeoutMs / 1000;
        failed({Failure::Kind::Silent, "within " + std::to_string(seconds) + " s"});
    });
    transport_.connect();
}

void Publisher::publish(Message message) {
    if (state_ == State::Failed || state_ == State::Closed)
        return;
    queue_.push(std::move(message));
    pump();
}

void Publisher::close() {
    timer_.stop();
    if (state_ == State::Connected || state_ == State::Waiting || state_ == State::Starting)
        transport_.disconnect();
    setState(State::Closed);
}

void Publisher::send(const Message &message) {
    if (const auto id = transport_.publish(message, options_.qos))
        inFlight_.insert(*id);
}

void Publisher::pump() {
    while (state_ == State::Connected && !queue_.empty() && inFlight_.size() < options_.window) {
        const auto id = transport_.publish(queue_.front(), options_.qos);
        if (!id)
            return; // the transport noticed the loss first; its event follows
        inFlight_.insert(*id);
        queue_.pop();
    }
}

void Publisher::connected() {
    if (state_ == State::Closed || state_ == State::Failed)
        return;
    timer_.stop();
    backoff_.reset();
    failure_.clear();
    // Unacknowledged QoS 1 messages go again with the session; QoS 0 ones are gone.
    if (options_.qos == 0)
        inFlight_.clear();
    setState(State::Connected);
    if (!options_.online.topic.empty())
        send(options_.online);
    pump();
}

void Publisher::failed(const Failure &failure) {
    if (state_ == State::Closed || state_ == State::Failed)
        return;
    failure_ = failureText(failure, options_.url.host, options_.url.hostPort());
    if (state_ == State::Starting) {
        timer_.stop();
        transport_.disconnect();
        return setState(State::Failed);
    }
    setState(State::Waiting);
    retryLater();
}

void Publisher::retryLater() {
    timer_.start(backoff_.next(), [this] {
        timer_.stop();
        if (state_ == State::Waiting)
            transport_.connect();
    });
}

void Publisher::published(int id) {
    if (inFlight_.erase(id) == 0)
        return;
    ++published_;
    // Refilled by halves: a batch wakes the network thread once, not once a message.
    if (inFlight_.size() <= options_.window / 2)
        pump();
}

} // namespace qv::mqtt
