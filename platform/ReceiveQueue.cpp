#include "platform/ReceiveQueue.h"

#include <algorithm>

namespace qv::platform {

void ReceiveQueue::deliver(const std::uint8_t *data, std::size_t size,
                           const std::function<void()> &raise) {
    bytes_.insert(bytes_.end(), data, data + size);
    // A program that stops reading (a port closed from inside the handler) must not make the
    // queue grow without bound: the oldest bytes go, as an input buffer overflows.
    if (bytes_.size() > capacity_)
        bytes_.erase(bytes_.begin(), bytes_.begin() + (bytes_.size() - capacity_));
    if (raising_ || !raise)
        return; // an event handler that delivers more is served by the loop below
    raising_ = true;
    while (bytes_.size() >= threshold_) {
        const std::size_t before = bytes_.size();
        raise();
        if (bytes_.size() >= before)
            break;
    }
    raising_ = false;
}

std::vector<std::uint8_t> ReceiveQueue::take() {
    const std::size_t n = std::min(threshold_, bytes_.size());
    std::vector<std::uint8_t> out(bytes_.begin(), bytes_.begin() + static_cast<long>(n));
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<long>(n));
    return out;
}

} // namespace qv::platform
