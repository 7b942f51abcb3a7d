#include "link/StandInPort.h"

namespace qv::link {

StandInPort::StandInPort(int number, std::unique_ptr<platform::SerialPort> others)
    : number_(number), others_(std::move(others)) {}

bool StandInPort::selectPort(int number) {
    if (isOpen() || number < 1 || number > 8)
        return false;
    port_ = number;
    return number == number_ || !others_ || others_->selectPort(number);
}

bool StandInPort::selectDevice(const std::string &device) {
    if (isOpen() || !others_ || !others_->selectDevice(device))
        return false;
    port_ = kNamedDevice;
    return true;
}

std::string StandInPort::lastError() const {
    return !onOwnPort() && others_ ? others_->lastError() : std::string{};
}

bool StandInPort::open() {
    if (!onOwnPort())
        return others_ && others_->open();
    if (open_)
        return false;
    open_ = true;
    rts_ = dtr_ = false;
    queue_.clear();
    return true;
}

bool StandInPort::close() {
    if (!onOwnPort())
        return others_ && others_->close();
    if (!open_)
        return false;
    open_ = false; // what is left unread goes when it opens again
    linesChanged();
    return true;
}

bool StandInPort::isOpen() const {
    return onOwnPort() ? open_ : others_ && others_->isOpen();
}

bool StandInPort::setRts(bool on) {
    if (!onOwnPort())
        return others_ && others_->setRts(on);
    if (!open_)
        return false;
    rts_ = on;
    linesChanged();
    return true;
}

bool StandInPort::setDtr(bool on) {
    if (!onOwnPort())
        return others_ && others_->setDtr(on);
    if (!open_)
        return false;
    dtr_ = on;
    linesChanged();
    return true;
}

std::optional<bool> StandInPort::dsr() {
    if (!onOwnPort())
        return others_ ? others_->dsr() : std::nullopt;
    return open_ ? std::optional<bool>(rts_ && dtr_) : std::nullopt;
}

std::optional<bool> StandInPort::cts() {
    if (!onOwnPort())
        return others_ ? others_->cts() : std::nullopt;
    return open_ ? std::optional<bool>(rts_ && dtr_) : std::nullopt;
}

std::vector<std::uint8_t> StandInPort::read() {
    if (!onOwnPort())
        return others_ ? others_->read() : std::vector<std::uint8_t>{};
    return queue_.take();
}

void StandInPort::setEventHandler(std::function<void(int)> handler) {
    handler_ = handler;
    if (others_)
        others_->setEventHandler(std::move(handler));
}

void StandInPort::setFailureHandler(std::function<void()> handler) {
    if (others_) // the stand-in's own port never fails
        others_->setFailureHandler(std::move(handler));
}

std::string StandInPort::deviceName(int number) const {
    if (number == number_)
        return ownDeviceName();
    return others_ ? others_->deviceName(number) : std::string{};
}

void StandInPort::deliver(const std::vector<std::uint8_t> &bytes) {
    queue_.deliver(bytes.data(), bytes.size(), [this] {
        if (handler_ && streaming())
            handler_(SerialPort::kReceiveEvent);
    });
}

} // namespace qv::link
