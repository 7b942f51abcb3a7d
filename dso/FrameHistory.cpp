#include "dso/FrameHistory.h"

#include <algorithm>

namespace qv::dso {

void FrameHistory::setCapacity(std::size_t capacity) {
    capacity = std::min(capacity, kMaxCapacity);
    std::vector<HistoryFrame> kept;
    const std::size_t keep = std::min(capacity, size());
    for (std::size_t i = size() - keep; i < size(); ++i)
        kept.push_back(at(i));
    frames_ = std::move(kept);
    oldest_ = 0;
    capacity_ = capacity;
}

void FrameHistory::add(HistoryFrame frame) {
    if (capacity_ == 0)
        return;
    if (frames_.size() < capacity_) {
        frames_.push_back(std::move(frame));
        return;
    }
    frames_[oldest_] = std::move(frame);
    oldest_ = (oldest_ + 1) % capacity_;
}

const HistoryFrame &FrameHistory::at(std::size_t i) const {
    return frames_[(oldest_ + i) % frames_.size()];
}

} // namespace qv::dso
