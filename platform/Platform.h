#pragma once
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Output.h"
#include "platform/SerialPort.h"

namespace qv::platform {

/// The operating-system services the program uses, all behind interfaces so that tests script
/// them.
struct Platform {
    SerialPort &port;
    MessageBoxes &messages;
    FileDialogs &files;
    Printer &printer;
    Clipboard &clipboard;
    Clock &clock;
};

} // namespace qv::platform
