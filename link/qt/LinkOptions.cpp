#include "link/qt/LinkOptions.h"

#include "link/RawRecording.h"
#include "link/ReplayPort.h"
#include "link/qt/SerialPortFactory.h"
#include "platform/qt/serial/QtSerialPort.h"

#include <QCommandLineParser>
#include <QDateTime>

namespace qv::link::qt {

namespace {

QString option(const char *name) {
    return QString::fromLatin1(name);
}

} // namespace

void addLinkOptions(QCommandLineParser &parser) {
    parser.addOption({option("port"),
                      QStringLiteral("Open this serial device at start-up instead of searching "
                                     "ports 1 to 8 (/dev/ttyUSB3, /dev/serial/by-id/..., COM12)."),
                      QStringLiteral("device")});
    parser.addOption({option("record-raw"),
                      QStringLiteral("Write every byte received, with its time, into this raw "
                                     "recording."),
                      QStringLiteral("file")});
    parser.addOption({option("replay"),
                      QStringLiteral("Play this raw recording as the meter on port 1."),
                      QStringLiteral("file")});
    parser.addOption({option("speed"),
                      QStringLiteral("Pace of --replay: 1 (as recorded), 10, or max."),
                      QStringLiteral("speed"), QStringLiteral("1")});
}

std::optional<LinkOptions> readLinkOptions(const QCommandLineParser &parser, std::string demo,
                                           std::string &error) {
    LinkOptions o;
    o.demo = std::move(demo);
    o.device = parser.value(option("port")).toStdString();
    o.recordRaw = parser.value(option("record-raw")).toStdString();
    o.replay = parser.value(option("replay")).toStdString();
    const QString speed = parser.value(option("speed"));
    if (speed == QLatin1String("max")) {
        o.speed = ReplayPacer::kMax;
    } else if (speed == QLatin1String("1") || speed == QLatin1String("10")) {
        o.speed = speed.toInt();
    } else {
        error = "--speed takes 1, 10 or max, not '" + speed.toStdString() + "'";
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
std::string replayNote(const std::string &path, const RawRecording &recording) {
    const bool one = recording.cutBytes == 1;
    const std::string bytes = one ? "byte" : std::to_string(recording.cutBytes) + " bytes";
    if (recording.records.empty())
        return path + " holds no whole record" +
               (recording.truncated ? " (the " + bytes + " after its first line " +
                                          (one ? "makes" : "make") + " none)"
                                    : "");
    if (!recording.truncated)
        return {};
    const std::size_t n = recording.records.size();
    return path + ": the last " + bytes +
           (one ? " was cut short and is" : " were cut short and are") + " left out; its " +
           std::to_string(n) + (n == 1 ? " whole record plays" : " whole records play");
}

} // namespace

std::optional<LinkPort> makeLinkPort(const LinkOptions &options, std::string &error) {
    LinkPort out;
    if (!options.replay.empty()) {
        std::optional<RawRecording> recording = readRawRecording(options.replay, error);
        if (!recording)
            return std::nullopt;
        out.nothingToReplay = recording->records.empty();
        out.replayNote = replayNote(options.replay, *recording);
        auto replay = std::make_unique<ReplayPort>(1, std::move(*recording),
                                                   std::make_unique<platform::qt::QtSerialPort>());
        if (!out.nothingToReplay)
            out.pacer = std::make_unique<ReplayPacer>(*replay, options.speed);
        out.port = std::move(replay);
    } else {
        out.port = makeSerialPort(options.demo);
        if (!out.port) {
            error = "unknown demo mode '" + options.demo + "' (dmm, dso, dso-memory, dmm-memory)";
            return std::nullopt;
        }
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

std::optional<CommandLineLink> linkFromCommandLine(const QCommandLineParser &parser,
                                                   std::string demo, std::string &error) {
    std::optional<LinkOptions> options = readLinkOptions(parser, std::move(demo), error);
    if (!options)
        return std::nullopt;
    std::optional<LinkPort> port = makeLinkPort(*options, error);
    if (!port)
        return std::nullopt;
    return CommandLineLink{std::move(*options), std::move(*port)};
}

} // namespace qv::link::qt
