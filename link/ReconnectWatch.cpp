#include "link/ReconnectWatch.h"

namespace qv::link {

void ReconnectWatch::start(LinkTarget lost) {
    if (!timer_)
        return;
    lost_ = std::move(lost);
    timer_->start(kIntervalMs, [this] { tick(); });
}

void ReconnectWatch::stop() {
    lost_.reset();
    if (timer_)
        timer_->stop();
}

void ReconnectWatch::tick() {
    if (!lost_) {
        stop();
        return;
    }
    // The attempt may stop the watch itself (it connects through the link's own steps).
    const LinkTarget target = *lost_;
    if (attempt_(target))
        stop();
}

} // namespace qv::link
