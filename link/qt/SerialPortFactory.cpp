#include "link/qt/SerialPortFactory.h"

#include "link/qt/VirtualMeterPort.h"
#include "platform/qt/serial/QtSerialPort.h"

namespace qv::link::qt {

std::unique_ptr<SerialPort> makeSerialPort(const std::string &demoMode) {
    if (demoMode.empty())
        return std::make_unique<platform::qt::QtSerialPort>();
    return makeDemoPort(demoMode, std::make_unique<platform::qt::QtSerialPort>());
}

std::unique_ptr<SerialPort> makeDemoPort(const std::string &demoMode,
                                         std::unique_ptr<SerialPort> others) {
    const std::optional<link::SimMode> mode = link::parseSimMode(demoMode);
    if (!mode)
        return nullptr;
    link::SimOptions options;
    options.mode = *mode;
    if (*mode == link::SimMode::Dso)
        options.timeBaseTour = 3; // the demo shows the plain and the reconstructed time bases
    return std::make_unique<VirtualMeterPort>(1, options, VirtualMeterPort::Pace::RealTime,
                                              std::move(others));
}

} // namespace qv::link::qt
