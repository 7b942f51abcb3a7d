#include "link/ReconnectWatch.h"

#include "link/DeviceMatch.h"

namespace qv::link {

bool canComeBack(const LinkTarget &target) {
    return target.port > 0 || !isPseudoTerminalName(target.device.path);
}

void ReconnectWatch::start(LinkTarget lost) {
    if (!timer_)
        return;
    timer_->stop();
    lost_ = std::move(lost);
    if (canComeBack(*lost_))
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
