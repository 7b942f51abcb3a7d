#pragma once
#include "platform/Platform.h"
#include "platform/fakes/FakeSerialPort.h"
#include "platform/fakes/FakeServices.h"

namespace qv::platform::fakes {

/// Every platform service as a scripted double, for a Form under test:
///     FakePlatform fp; common::Form form(fp.platform);
struct FakePlatform {
    FakeSerialPort port;
    ScriptedMessages messages;
    ScriptedFileDialogs files;
    FakePrinter printer;
    FakeClipboard clipboard;
    FakeClock clock;
    Platform platform{port, messages, files, printer, clipboard, clock};
};

} // namespace qv::platform::fakes
