#include "platform/fakes/FakeSerialPort.h"

namespace qv::platform::fakes {

bool FakeSerialPort::selectPort(int number) {
    log.push_back("select " + std::to_string(number));
    if (open_ || number < 1 || number > 8)
        return false;
    port_ = number;
    return true;
}

const FakePort &FakeSerialPort::current() const {
    static const FakePort missing{.exists = false};
    if (port_ != kNamedDevice)
        return ports[static_cast<size_t>(port_)];
    const auto it = devices.find(named_);
    return it == devices.end() ? missing : it->second;
}

bool FakeSerialPort::selectDevice(const std::string &device) {
    log.push_back("select " + device);
    if (open_)
        return false;
    port_ = kNamedDevice;
    named_ = device;
    return true;
}

bool FakeSerialPort::open() {
    log.push_back("open " + (port_ == kNamedDevice ? named_ : std::to_string(port_)));
    const FakePort &p = current();
    lastError_ = !p.exists ? "No such file or directory" : p.busy ? "Device or resource busy" : "";
    if (open_ || !p.exists || p.busy)
        return false;
    open_ = true;
    rts_ = dtr_ = false;
    queue_.clear();
    return true;
}

bool FakeSerialPort::close() {
    log.push_back("close " + std::to_string(port_));
    if (!open_ || current().closeFails)
        return false;
    open_ = false;
    return true;
}

bool FakeSerialPort::setRts(bool on) {
    log.push_back("rts " + std::to_string(port_));
    if (!open_ || current().noModemLines)
        return false;
    rts_ = on;
    return true;
}

bool FakeSerialPort::setDtr(bool on) {
    log.push_back("dtr " + std::to_string(port_));
    if (!open_ || current().noModemLines)
        return false;
    dtr_ = on;
    return true;
}

std::optional<bool> FakeSerialPort::dsr() {
    const FakePort &p = current();
    if (!open_ || p.linesFail || p.noModemLines)
        return std::nullopt;
    return p.cable && dtr_;
}

std::optional<bool> FakeSerialPort::cts() {
    const FakePort &p = current();
    if (!open_ || p.linesFail || p.noModemLines)
        return std::nullopt;
    return p.cable && rts_;
}

std::string FakeSerialPort::deviceName(int number) const {
    if (number == kNamedDevice)
        return named_;
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
