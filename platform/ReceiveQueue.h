#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace qv::platform {

/// Bytes received from a port, handed to the program one receive event at a time: an event is
/// raised while at least `threshold` bytes wait, and each read takes at most `threshold` bytes.
/// So however the operating system batches the stream, each event sees one packet's worth and
/// no byte is dropped.
class ReceiveQueue {
  public:
    explicit ReceiveQueue(std::size_t threshold, std::size_t capacity = 1 << 20)
        : threshold_(threshold), capacity_(capacity) {}

    /// Adds bytes the operating system delivered and raises the events they complete. A handler
    /// that does not read ends the loop (the bytes wait for the next delivery).
    void deliver(const std::uint8_t *data, std::size_t size, const std::function<void()> &raise);
    /// Takes the bytes of one event.
    [[nodiscard]] std::vector<std::uint8_t> take();
    [[nodiscard]] std::size_t waiting() const { return bytes_.size(); }
    void clear() { bytes_.clear(); }

  private:
    std::size_t threshold_;
    std::size_t capacity_;
    std::deque<std::uint8_t> bytes_;
    bool raising_ = false;
};

} // namespace qv::platform
