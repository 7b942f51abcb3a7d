#include "mqtt/MessageQueue.h"

#include <utility>

namespace qv::mqtt {

void MessageQueue::push(Message message) {
    if (messages_.size() >= limit_) {
        messages_.pop_front();
        ++dropped_;
    }
    messages_.push_back(std::move(message));
}

} // namespace qv::mqtt
