#include "link/qt/LinkOptions.h"

#include "link/RawRecordingReader.h"
#include "link/ReplayPort.h"
#include "link/SimulatorSettings.h"
#include "link/qt/SerialPortFactory.h"
#include "platform/qt/serial/QtSerialPort.h"

#include <QDateTime>

namespace qv::link::qt {

std::optional<LinkOptions> readLinkOptions(const LinkArguments &given, std::string &error) {
    LinkOptions o;
    o.demo = given.demo;
    o.device = given.port;
    o.recordRaw = given.recordRaw;
    o.replay = given.replay;
    const std::string &speed = given.speed;
    if (speed == "max") {
        o.speed = ReplayPacer::kMax;
    } else if (speed == "1" || speed == "10") {
        o.speed = std::stoi(speed);
    } else {
        error = "--speed takes 1, 10 or max, not '" + given.speed + "'";
        return std::nullopt;
    }
    if (!o.demo.empty() && !parseSimMode(o.demo)) {
        error = "unknown demo mode '" + given.demo + "' (dmm, dso, dso-memory, dmm-memory)";
        return std::nullopt;
    }
    if (!o.replay.empty() && !o.demo.empty()) {
        error = "--replay and --demo both want port 1: choose one";
        return std::nullopt;
    }
    return o;
}

namespace {

/// What a recording with nothing to replay or with a cut end tells the user; empty otherwise.
std::string replayNote(const std::string &path, const RawRecordingReader &recording) {
    const bool one = recording.cutBytes() == 1;
    const std::string bytes = one ? "byte" : std::to_string(recording.cutBytes()) + " bytes";
    if (recording.size() == 0)
        return path + " holds no whole record" +
               (recording.truncated() ? " (the " + bytes + " after its first line " +
                                            (one ? "makes" : "make") + " none)"
                                      : "");
    if (!recording.truncated())
        return {};
    const std::size_t n = recording.size();
    return path + ": the last " + bytes +
           (one ? " was cut short and is" : " were cut short and are") + " left out; its " +
           std::to_string(n) + (n == 1 ? " whole record plays" : " whole records play");
}

} // namespace

std::optional<LinkPort> makeLinkPort(const LinkOptions &options, std::string &error) {
    LinkPort out;
    // The system's ports: the program's port, or those beside a stand-in when asked for.
    std::unique_ptr<platform::qt::QtSerialPort> system;
    if (options.systemPorts || (options.replay.empty() && options.demo.empty())) {
        system = std::make_unique<platform::qt::QtSerialPort>();
        out.devices = &system->systemDevices();
    }
    if (!options.replay.empty()) {
        // Read as a stream: memory stays the same whatever the recording's length.
        std::unique_ptr<RawRecordingReader> recording =
            RawRecordingReader::open(options.replay, error);
        if (!recording)
            return std::nullopt;
        out.nothingToReplay = recording->size() == 0;
        out.replayNote = replayNote(options.replay, *recording);
        auto replay = std::make_unique<ReplayPort>(1, std::move(recording), std::move(system));
        if (!out.nothingToReplay)
            out.pacer = std::make_unique<ReplayPacer>(*replay, options.speed);
        out.port = std::move(replay);
    } else if (!options.demo.empty()) {
        out.port = makeDemoPort(options.demo, std::move(system));
        if (!out.port) {
            error = "unknown demo mode '" + options.demo + "' (dmm, dso, dso-memory, dmm-memory)";
            return std::nullopt;
        }
    } else {
        out.port = std::move(system);
    }
    // A replay with nothing to replay has nothing to record either: no file is made.
    if (options.recordRaw.empty() || out.nothingToReplay)
        return out;
    auto writer = std::make_unique<RawRecordingWriter>();
    const std::string note = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    if (!writer->open(options.recordRaw, note)) {
        error = writer->error();
        return std::nullopt;
    }
    auto recording = std::make_unique<RecordingPort>(std::move(out.port), std::move(writer));
    out.recording = recording.get();
    out.port = std::move(recording);
    return out;
}

std::optional<CommandLineLink> linkFromCommandLine(LinkOptions options, std::string &error) {
    std::optional<LinkPort> port = makeLinkPort(options, error);
    if (!port)
        return std::nullopt;
    return CommandLineLink{std::move(options), std::move(*port)};
}

} // namespace qv::link::qt
