#include "link/ReplayPort.h"

namespace qv::link {

ReplayPort::ReplayPort(int number, std::unique_ptr<RawRecordSource> records,
                       std::unique_ptr<platform::SerialPort> others)
    : StandInPort(number, std::move(others)), records_(std::move(records)) {}

bool ReplayPort::open() {
    if (onOwnPort() && records_->size() == 0)
        return false;
    return StandInPort::open();
}

std::string ReplayPort::ownDeviceName() const {
    return "raw recording (" + records_->note() + ")";
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
    const RawRecord *next = records_->peek();
    if (!next)
        return std::nullopt;
    return next->ms;
}

std::size_t ReplayPort::playOne(const RawRecord &record) {
    // Taken before its bytes go out, as before a handler that plays on; the source keeps the
    // record until the next peek, and the receive queue copies the bytes before anything else.
    const std::size_t size = record.bytes.size();
    records_->take();
    deliver(record.bytes);
    return size;
}

void ReplayPort::playUntil(std::uint64_t ms) {
    for (const RawRecord *r; streaming() && (r = records_->peek()) != nullptr && r->ms <= ms;)
        (void)playOne(*r);
}

void ReplayPort::playNext(std::size_t maxBytes) {
    std::size_t played = 0;
    for (const RawRecord *r;
         streaming() && (played == 0 || played < maxBytes) && (r = records_->peek()) != nullptr;)
        played += playOne(*r) + 1;
}

} // namespace qv::link
