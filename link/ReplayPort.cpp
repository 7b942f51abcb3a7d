#include "link/ReplayPort.h"

namespace qv::link {

ReplayPort::ReplayPort(int number, RawRecording recording,
                       std::unique_ptr<platform::SerialPort> others)
    : StandInPort(number, std::move(others)), recording_(std::move(recording)) {}

bool ReplayPort::open() {
    if (onOwnPort() && recording_.records.empty())
        return false;
    return StandInPort::open();
}

std::string ReplayPort::ownDeviceName() const {
    return "raw recording (" + recording_.note + ")";
}

void ReplayPort::linesChanged() {
    const bool now = streaming();
    if (now == wasStreaming_)
        return;
    wasStreaming_ = now;
    if (streaming_)
        streaming_(now);
}

std::optional<std::uint32_t> ReplayPort::nextTime() const {
    if (finished())
        return std::nullopt;
    return recording_.records[next_].ms;
}

void ReplayPort::playOne() {
    deliver(recording_.records[next_++].bytes);
}

void ReplayPort::playUntil(std::uint64_t ms) {
    while (streaming() && !finished() && recording_.records[next_].ms <= ms)
        playOne();
}

void ReplayPort::playNext(std::size_t maxBytes) {
    std::size_t played = 0;
    while (streaming() && !finished() && (played == 0 || played < maxBytes)) {
        played += recording_.records[next_].bytes.size() + 1;
        playOne();
    }
}

} // namespace qv::link
