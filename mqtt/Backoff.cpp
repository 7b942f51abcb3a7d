#include "mqtt/Backoff.h"

#include <algorithm>

namespace qv::mqtt {

int Backoff::next() {
    const int wait = nextMs_;
    nextMs_ = std::min(nextMs_ * 2, kLongestMs);
    return wait;
}

} // namespace qv::mqtt
