#pragma once
#include "app/Program.h"
#include "app/qt/DeviceDialog.h"
#include "link/qt/LinkOptions.h"
#include "platform/qt/serial/QtDeviceMemory.h"
#include "platform/qt/serial/QtSerialDevices.h"
#include "platform/qt/serial/QtTimer.h"

namespace qv::app::qt {

/// The window's link beyond ports 1..8: the system's device list, the "Other port…" dialog,
/// the remembered device in the user's settings, the reconnect timer, --port, and what a failed
/// raw recording says. Give it to the program before Form_Load.
class DeviceLinkSetup {
  public:
    DeviceLinkSetup(Program &program, const link::qt::LinkOptions &options,
                    link::qt::LinkPort &port, QWidget *dialogParent);
    /// Takes the services back from the link (the program may outlive them).
    ~DeviceLinkSetup();
    DeviceLinkSetup(const DeviceLinkSetup &) = delete;
    DeviceLinkSetup &operator=(const DeviceLinkSetup &) = delete;

  private:
    Program &program_;
    link::RecordingPort *recording_;
    platform::qt::QtSerialDevices devices_;
    platform::qt::QtDeviceMemory memory_;
    platform::qt::QtTimer retry_;
    DeviceDialog dialog_;
};

} // namespace qv::app::qt
