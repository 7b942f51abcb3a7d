#pragma once
#include "platform/SerialPort.h"

#include <QString>

#include <memory>
#include <string>

namespace qv::app {
class Program;
}

namespace qv::app::qt {

class MainWindow;

/// The serial port the program uses: the system's ports, or with a demo mode ("dmm", "dso",
/// "dso-memory", "dmm-memory") the built-in virtual meter on port 1. nullptr for an unknown mode.
[[nodiscard]] std::unique_ptr<platform::SerialPort> makePort(const std::string &demoMode);

/// Saves pictures of the window into a folder as it runs (waiting for data to arrive), prints
/// their paths, then quits.
void takeScreenshots(MainWindow &window, Program &program, const QString &folder);

} // namespace qv::app::qt
