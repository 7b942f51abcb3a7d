#include "link/ReplayPort.h"

namespace qv::link {

ReplayPort::ReplayPort(int number, RawRecording recording,
                       std::unique_ptr<platform::SerialPort> others)
    : number_(number), recording_(std::move(recording)), others_(std::move(others)) {}

ReplayPort::~ReplayPort() {
    handler_ = nullptr;
    failure_ = nullptr;
    streaming_ = nullptr;
}

bool ReplayPort::selectPort(int number) {
    if (isOpen() || number < 1 || number > 8)
        return false;
    port_ = number;
    return number == number_ || !others_ || others_->selectPort(number);
}

bool ReplayPort::selectDevice(const std::string &device) {
    if (isOpen() || !others_ || !others_->selectDevice(device))
        return false;
    port_ = kNamedDevice;
    return true;
}

std::string ReplayPort::lastError() const {
    return !onReplay() && others_ ? others_->lastError() : std::string{};
}

bool ReplayPort::open() {
    if (!onReplay())
        return others_ && others_->open();
    if (open_)
        return false;
    open_ = true;
    rts_ = dtr_ = false;
    queue_.clear();
    return true;
}

bool ReplayPort::close() {
    if (!onReplay())
        return others_ && others_->close();
    if (!open_)
        return false;
    open_ = false;
    queue_.clear();
    linesChanged();
    return true;
}

bool ReplayPort::isOpen() const {
    return onReplay() ? open_ : others_ && others_->isOpen();
}

bool ReplayPort::setRts(bool on) {
    if (!onReplay())
        return others_ && others_->setRts(on);
    if (!open_)
        return false;
    rts_ = on;
    linesChanged();
    return true;
}

bool ReplayPort::setDtr(bool on) {
    if (!onReplay())
        return others_ && others_->setDtr(on);
    if (!open_)
        return false;
    dtr_ = on;
    linesChanged();
    return true;
}

std::optional<bool> ReplayPort::dsr() {
    if (!onReplay())
        return others_ ? others_->dsr() : std::nullopt;
    return open_ ? std::optional<bool>(rts_ && dtr_) : std::nullopt;
}

std::optional<bool> ReplayPort::cts() {
    if (!onReplay())
        return others_ ? others_->cts() : std::nullopt;
    return open_ ? std::optional<bool>(rts_ && dtr_) : std::nullopt;
}

std::vector<std::uint8_t> ReplayPort::read() {
    if (!onReplay())
        return others_ ? others_->read() : std::vector<std::uint8_t>{};
    return queue_.take();
}

void ReplayPort::setEventHandler(std::function<void(int)> handler) {
    handler_ = handler;
    if (others_)
        others_->setEventHandler(std::move(handler));
}

void ReplayPort::setFailureHandler(std::function<void()> handler) {
    failure_ = handler;
    if (others_)
        others_->setFailureHandler(std::move(handler));
}

std::string ReplayPort::deviceName(int number) const {
    if (number == number_)
        return "raw recording (" + recording_.note + ")";
    return others_ ? others_->deviceName(number) : std::string{};
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
    const RawRecord &r = recording_.records[next_++];
    queue_.deliver(r.bytes.data(), r.bytes.size(), [this] {
        if (handler_ && streaming())
            handler_(SerialPort::kReceiveEvent);
    });
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
