#include "link/qt/VirtualMeterPort.h"

#include <algorithm>

namespace qv::link::qt {

namespace {
/// Timer period: about half a packet per tick, so batches come as a UART hands them over.
constexpr int kTickMs = 40;
/// The most a tick sends after the program was busy; older bytes are lost as in a full buffer.
constexpr long long kMaxBurst = 4096;

[[nodiscard]] const char *modeName(link::SimMode mode) {
    switch (mode) {
    case link::SimMode::Dmm:
        return "dmm";
    case link::SimMode::Dso:
        return "dso";
    case link::SimMode::DsoMemory:
        return "dso-memory";
    case link::SimMode::DmmMemory:
        return "dmm-memory";
    }
    return "";
}
} // namespace

VirtualMeterPort::VirtualMeterPort(int number, link::SimOptions options, Pace pace,
                                   std::unique_ptr<SerialPort> others)
    : number_(number), pace_(pace), others_(std::move(others)), meter_(options),
      rng_(options.seed) {
    timer_.setInterval(kTickMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
}

VirtualMeterPort::~VirtualMeterPort() {
    timer_.stop();
    handler_ = nullptr;
    failure_ = nullptr;
}

bool VirtualMeterPort::selectPort(int number) {
    if (isOpen() || number < 1 || number > 8)
        return false;
    port_ = number;
    if (number == number_ || !others_)
        return true;
    return others_->selectPort(number);
}

bool VirtualMeterPort::selectDevice(const std::string &device) {
    if (isOpen() || !others_ || !others_->selectDevice(device))
        return false;
    port_ = kNamedDevice;
    return true;
}

std::string VirtualMeterPort::lastError() const {
    return !onMeter() && others_ ? others_->lastError() : std::string{};
}

bool VirtualMeterPort::open() {
    if (!onMeter())
        return others_ && others_->open();
    if (open_)
        return false;
    open_ = true;
    rts_ = dtr_ = false;
    queue_.clear();
    return true;
}

bool VirtualMeterPort::close() {
    if (!onMeter())
        return others_ && others_->close();
    if (!open_)
        return false;
    open_ = false;
    queue_.clear();
    powerChanged();
    return true;
}

bool VirtualMeterPort::isOpen() const {
    if (!onMeter())
        return others_ && others_->isOpen();
    return open_;
}

bool VirtualMeterPort::setRts(bool on) {
    if (!onMeter())
        return others_ && others_->setRts(on);
    if (!open_)
        return false;
    rts_ = on;
    powerChanged();
    return true;
}

bool VirtualMeterPort::setDtr(bool on) {
    if (!onMeter())
        return others_ && others_->setDtr(on);
    if (!open_)
        return false;
    dtr_ = on;
    powerChanged();
    return true;
}

std::optional<bool> VirtualMeterPort::dsr() {
    if (!onMeter())
        return others_ ? others_->dsr() : std::nullopt;
    if (!open_)
        return std::nullopt;
    return rts_ && dtr_;
}

std::optional<bool> VirtualMeterPort::cts() {
    if (!onMeter())
        return others_ ? others_->cts() : std::nullopt;
    if (!open_)
        return std::nullopt;
    return rts_ && dtr_;
}

std::vector<std::uint8_t> VirtualMeterPort::read() {
    if (!onMeter())
        return others_ ? others_->read() : std::vector<std::uint8_t>{};
    return queue_.take();
}

void VirtualMeterPort::setEventHandler(std::function<void(int)> handler) {
    handler_ = handler;
    if (others_)
        others_->setEventHandler(std::move(handler));
}

void VirtualMeterPort::setFailureHandler(std::function<void()> handler) {
    failure_ = handler;
    if (others_)
        others_->setFailureHandler(std::move(handler));
}

std::string VirtualMeterPort::deviceName(int number) const {
    if (number == number_)
        return std::string("virtual meter (") + modeName(meter_.options().mode) + ")";
    return others_ ? others_->deviceName(number) : std::string{};
}

void VirtualMeterPort::powerChanged() {
    if (!streaming()) {
        timer_.stop();
        return;
    }
    if (pace_ == Pace::RealTime && !timer_.isActive()) {
        // The meter was sending all along: the program joins somewhere inside a packet.
        meter_.skip(std::uniform_int_distribution<std::size_t>(0, 19)(rng_));
        sent_ = 0;
        clock_.start();
        timer_.start();
    }
}

void VirtualMeterPort::tick() {
    if (!streaming())
        return;
    const long long due = clock_.elapsed() * kBytesPerSecond / 1000;
    long long n = due - sent_;
    if (n > kMaxBurst) {
        sent_ = due - kMaxBurst;
        n = kMaxBurst;
    }
    if (n <= 0)
        return;
    sent_ += n;
    pump(static_cast<std::size_t>(n));
}

void VirtualMeterPort::pump(std::size_t bytes) {
    if (!streaming() || bytes == 0)
        return;
    const std::vector<std::uint8_t> data = meter_.nextBytes(bytes);
    queue_.deliver(data.data(), data.size(), [this] {
        if (handler_ && streaming())
            handler_(SerialPort::kReceiveEvent);
    });
}

void VirtualMeterPort::unplug() {
    if (!open_)
        return;
    open_ = false;
    queue_.clear();
    powerChanged();
    if (failure_ && onMeter())
        failure_();
}

} // namespace qv::link::qt
