#include "platform/fakes/FakeSerialPort.h"

namespace qv::platform::fakes {

bool FakeSerialPort::selectPort(int number) {
    log.push_back("select " + std::to_string(number));
    if (open_ || number < 1 || number > 8)
        return false;
    port_ = number;
    return true;
}

bool FakeSerialPort::open() {
    log.push_back("open " + std::to_string(port_));
    const FakePort &p = ports[static_cast<size_t>(port_)];
    if (open_ || !p.exists || p.busy)
        return false;
    open_ = true;
    rts_ = dtr_ = false;
    queue_.clear();
    return true;
}

bool FakeSerialPort::close() {
    log.push_back("close " + std::to_string(port_));
    if (!open_ || ports[static_cast<size_t>(port_)].closeFails)
        return false;
    open_ = false;
    return true;
}

bool FakeSerialPort::setRts(bool on) {
    log.push_back("rts " + std::to_string(port_));
    if (!open_)
        return false;
    rts_ = on;
    return true;
}

bool FakeSerialPort::setDtr(bool on) {
    log.push_back("dtr " + std::to_string(port_));
    if (!open_)
        return false;
    dtr_ = on;
    return true;
}

std::optional<bool> FakeSerialPort::dsr() {
    const FakePort &p = ports[static_cast<size_t>(port_)];
    if (!open_ || p.linesFail)
        return std::nullopt;
    return p.cable && dtr_;
}

std::optional<bool> FakeSerialPort::cts() {
    const FakePort &p = ports[static_cast<size_t>(port_)];
    if (!open_ || p.linesFail)
        return std::nullopt;
    return p.cable && rts_;
}

std::string FakeSerialPort::deviceName(int number) const {
    if (number < 1 || number > 8 || !ports[static_cast<size_t>(number)].exists)
        return {};
    return "fake" + std::to_string(number);
}

void FakeSerialPort::deliver(const std::vector<std::uint8_t> &bytes) {
    if (!open_)
        return;
    queue_.deliver(bytes.data(), bytes.size(), [this] {
        if (handler_)
            handler_(SerialPort::kReceiveEvent);
    });
}

void FakeSerialPort::raise(int code) {
    if (open_ && handler_)
        handler_(code);
}

void FakeSerialPort::fail() {
    if (!open_)
        return;
    open_ = false;
    queue_.clear();
    if (failure_)
        failure_();
}

} // namespace qv::platform::fakes
