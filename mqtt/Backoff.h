#pragma once

namespace qv::mqtt {

/// The waits between attempts to reach the broker again: 1 s, doubling up to 30 s; back to 1 s
/// after a connection.
class Backoff {
  public:
    static constexpr int kFirstMs = 1000;
    static constexpr int kLongestMs = 30000;

    /// The wait before the next attempt; each call doubles the one after it.
    [[nodiscard]] int next();
    void reset() { nextMs_ = kFirstMs; }

  private:
    int nextMs_ = kFirstMs;
};

} // namespace qv::mqtt
