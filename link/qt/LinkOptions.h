#pragma once
#include "link/RecordingPort.h"
#include "link/qt/ReplayPacer.h"
#include "platform/SerialDevices.h"
#include "platform/SerialPort.h"

#include <memory>
#include <optional>
#include <string>

namespace qv::link::qt {

/// How the command line sets up the link.
struct LinkOptions {
    std::string demo;      ///< --demo: the virtual meter's mode on port 1
    std::string device;    ///< --port: opened at start-up instead of the search
    std::string recordRaw; ///< --record-raw: every byte received goes into this file
    std::string replay;    ///< --replay: this recording plays on port 1
    int speed = 1;         ///< --speed: 1, 10, or ReplayPacer::kMax
    /// The system's ports beside --demo or --replay (ports 2..8 and named devices, the window's);
    /// without them a stand-in is the only port and the system's list is never read.
    bool systemPorts = true;
};

/// The link's options as the command line gives them, before they are checked; empty: not given.
struct LinkArguments {
    std::string demo, port, recordRaw, replay;
    std::string speed = "1";
};

/// The options the arguments ask for; nullopt with the reason in error for a bad --speed, an
/// unknown demo mode or a --replay beside --demo.
[[nodiscard]] std::optional<LinkOptions> readLinkOptions(const LinkArguments &given,
                                                         std::string &error);

/// The program's port as the options ask for it, and what keeps it going.
struct LinkPort {
    std::unique_ptr<platform::SerialPort> port;
    std::unique_ptr<ReplayPacer> pacer;       ///< a replay's pace; null otherwise
    link::RecordingPort *recording = nullptr; ///< the raw recording inside port; null if none
    /// The system's devices as the port reads them (one read per turn of the event loop, shared
    /// with the search); null when the port has no system ports.
    platform::SerialDevices *devices = nullptr;
    /// What the user should learn about a --replay: that it holds no whole record, or how many
    /// bytes at its end were cut; empty when all is well.
    std::string replayNote;
    /// The --replay holds no whole record: port 1 stands empty (there is no meter to find).
    bool nothingToReplay = false;
};

/// Builds the port: the system's ports, with the virtual meter or a replay on port 1, inside a
/// recording when one is asked for. nullopt with the reason in error (an unknown demo mode, an
/// unreadable recording, a recording file that cannot be created).
[[nodiscard]] std::optional<LinkPort> makeLinkPort(const LinkOptions &options, std::string &error);

/// The command line's link: its options and their port.
struct CommandLineLink {
    LinkOptions options;
    LinkPort port;
};
/// makeLinkPort for checked options; nullopt with the reason in error.
[[nodiscard]] std::optional<CommandLineLink> linkFromCommandLine(LinkOptions options,
                                                                 std::string &error);

} // namespace qv::link::qt
