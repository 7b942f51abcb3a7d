#include "link/qt/ReplayPacer.h"

#include <algorithm>
#include <utility>

namespace qv::link::qt {

namespace {
constexpr std::size_t kBytesPerTurn = 4096;
} // namespace

ReplayPacer::ReplayPacer(ReplayPort &port, int speed) : port_(port), speed_(std::max(0, speed)) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
    port_.setStreamingHandler([this](bool on) { streamingChanged(on); });
}

ReplayPacer::~ReplayPacer() {
    port_.setStreamingHandler(nullptr);
}

void ReplayPacer::streamingChanged(bool on) {
    if (!on) {
        timer_.stop();
        return;
    }
    origin_ = port_.nextTime().value_or(0);
    clock_.start();
    schedule();
}

void ReplayPacer::schedule() {
    const std::optional<std::uint32_t> next = port_.nextTime();
    if (!next) {
        if (finished_)
            std::exchange(finished_, nullptr)();
        return;
    }
    if (!port_.streaming())
        return;
    if (speed_ == kMax) {
        timer_.start(0);
        return;
    }
    // Records out of time order (a hand-made file) play at once.
    const std::uint64_t ahead = *next > origin_ ? *next - origin_ : 0;
    const auto due = static_cast<long long>(ahead / std::uint64_t(speed_));
    timer_.start(static_cast<int>(std::clamp(due - clock_.elapsed(), 0LL, 24LL * 3600 * 1000)));
}

void ReplayPacer::tick() {
    if (speed_ == kMax)
        port_.playNext(kBytesPerTurn);
    else
        port_.playUntil(origin_ + std::uint64_t(clock_.elapsed()) * std::uint64_t(speed_));
    schedule();
}

} // namespace qv::link::qt
