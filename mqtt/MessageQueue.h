#pragma once
#include "mqtt/Message.h"

#include <cstddef>
#include <deque>

namespace qv::mqtt {

/// The messages waiting for the broker, oldest first, at most `limit` of them: a message that
/// finds the queue full pushes the oldest out, and that one is counted as dropped.
class MessageQueue {
  public:
    explicit MessageQueue(std::size_t limit) : limit_(limit < 1 ? 1 : limit) {}

    void push(Message message);
    [[nodiscard]] bool empty() const { return messages_.empty(); }
    [[nodiscard]] std::size_t size() const { return messages_.size(); }
    [[nodiscard]] const Message &front() const { return messages_.front(); }
    void pop() { messages_.pop_front(); }
    /// Messages pushed out since the start.
    [[nodiscard]] long long dropped() const { return dropped_; }

  private:
    std::deque<Message> messages_;
    std::size_t limit_;
    long long dropped_ = 0;
};

} // namespace qv::mqtt
