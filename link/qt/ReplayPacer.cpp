#include "link/qt/ReplayPacer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace qv::link::qt {

namespace {
constexpr std::size_t kBytesPerTurn = 4096;

long long steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

ReplayPacer::ReplayPacer(ReplayPort &port, int speed, std::function<long long()> nowMs)
    : port_(port), speed_(std::max(0, speed)),
      now_(nowMs ? std::move(nowMs) : std::function<long long()>(steadyMs)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer); // records a few milliseconds apart keep their order
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
    port_.setStreamingHandler([this](bool on) { streamingChanged(on); });
}

ReplayPacer::~ReplayPacer() {
    port_.setStreamingHandler(nullptr);
}

void ReplayPacer::setFinishedHandler(std::function<void()> handler) {
    finished_ = std::move(handler);
    if (done_)
        reportFinished();
}

void ReplayPacer::reportFinished() {
    done_ = true;
    if (finished_)
        std::exchange(finished_, nullptr)();
}

void ReplayPacer::streamingChanged(bool on) {
    paced_ = false;
    if (!on) {
        timer_.stop();
        return;
    }
    schedule();
}

void ReplayPacer::schedule() {
    const std::optional<std::uint32_t> next = port_.nextTime();
    if (!next)
        return reportFinished();
    if (!port_.streaming())
        return;
    if (speed_ == kMax || !paced_) {
        timer_.start(0);
        return;
    }
    // Records out of time order (a hand-made file) play at once.
    const std::uint64_t ahead = *next > origin_ ? *next - origin_ : 0;
    const auto due = static_cast<long long>(ahead / std::uint64_t(speed_));
    const long long elapsed = now_() - startedMs_;
    timer_.start(static_cast<int>(std::clamp(due - elapsed, 0LL, 24LL * 3600 * 1000)));
}

void ReplayPacer::tick() {
    if (speed_ == kMax) {
        port_.playNext(kBytesPerTurn);
    } else {
        if (!paced_) {
            // The pace starts with the first byte that goes out.
            paced_ = true;
            startedMs_ = now_();
            origin_ = port_.nextTime().value_or(0);
        }
        const auto elapsed = static_cast<std::uint64_t>(std::max(0LL, now_() - startedMs_));
        port_.playUntil(origin_ + elapsed * std::uint64_t(speed_));
    }
    schedule();
}

} // namespace qv::link::qt
