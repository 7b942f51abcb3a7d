#pragma once
#include "common/Form.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv::dso {

/// One complete frame as it was shown: settings, points, date, time, title and its meter.
struct HistoryFrame {
    common::Waveform wave;
    std::int16_t modelCode = 0;
    std::string modelName;
    std::string receivedAt; ///< the clock's time with seconds when the frame came in
};

/// The last complete frames received, oldest first, in a ring of fixed capacity (0 keeps none).
class FrameHistory {
  public:
    static constexpr std::size_t kDefaultCapacity = 100;
    static constexpr std::size_t kMaxCapacity = 10000;

    explicit FrameHistory(std::size_t capacity = kDefaultCapacity) { setCapacity(capacity); }

    /// A new capacity (at most kMaxCapacity) keeps the newest frames that fit.
    void setCapacity(std::size_t capacity);
    [[nodiscard]] std::size_t capacity() const { return capacity_; }
    /// Adds the newest frame; when full, the oldest goes.
    void add(HistoryFrame frame);
    [[nodiscard]] std::size_t size() const { return frames_.size(); }
    [[nodiscard]] bool empty() const { return frames_.empty(); }
    /// Frame i, 0 the oldest; i must be below size().
    [[nodiscard]] const HistoryFrame &at(std::size_t i) const;

  private:
    std::vector<HistoryFrame> frames_;
    std::size_t oldest_ = 0; ///< position of frame 0 in frames_ once the ring is full
    std::size_t capacity_ = 0;
};

} // namespace qv::dso
