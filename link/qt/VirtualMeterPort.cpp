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
    : StandInPort(number, std::move(others)), pace_(pace), meter_(options), rng_(options.seed) {
    timer_.setInterval(kTickMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
}

VirtualMeterPort::~VirtualMeterPort() {
    timer_.stop();
}

std::string VirtualMeterPort::ownDeviceName() const {
    return std::string("virtual meter (") + modeName(meter_.options().mode) + ")";
}

void VirtualMeterPort::linesChanged() {
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
    deliver(meter_.nextBytes(bytes));
}

} // namespace qv::link::qt
