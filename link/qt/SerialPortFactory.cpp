#include "link/qt/SerialPortFactory.h"

#include "platform/qt/serial/QtSerialPort.h"
#include "link/qt/VirtualMeterPort.h"

namespace qv::link::qt {

std::unique_ptr<SerialPort> makeSerialPort(const std::string &demoMode) {
    if (demoMode.empty())
        return std::make_unique<platform::qt::QtSerialPort>();
    const std::optional<link::SimMode> mode = link::parseSimMode(demoMode);
    if (!mode)
        return nullptr;
    link::SimOptions options;
    options.mode = *mode;
    if (*mode == link::SimMode::Dso)
        options.timeBaseTour = 3; // the demo shows the plain and the reconstructed time bases
    return std::make_unique<VirtualMeterPort>(1, options, VirtualMeterPort::Pace::RealTime,
                                              std::make_unique<platform::qt::QtSerialPort>());
}

} // namespace qv::link::qt
