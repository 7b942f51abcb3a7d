#include "app/cli/CaptureCommand.h"

#include "app/cli/CaptureSession.h"
#include "app/cli/Cli.h"

#include <QCommandLineParser>

#include <array>
#include <cstdio>

namespace qv::app::cli {
namespace {

struct UsageError {
    std::string text;
};

constexpr std::array<int, 8> kIntervals{0, 1, 2, 5, 10, 20, 30, 60};
constexpr std::array<std::string_view, 3> kFormats{"dso", "csv", "png"};

struct Unit {
    char suffix;
    long long ms;
};
constexpr std::array<Unit, 4> kUnits{{{'s', 1000}, {'m', 60000}, {'h', 3600000}, {'d', 86400000}}};

long long number(const QCommandLineParser &p, const char *name, long long low, long long high) {
    bool ok = false;
    const QString text = p.value(QString::fromLatin1(name));
    const long long n = text.toLongLong(&ok);
    if (!ok || n < low || n > high)
        throw UsageError{"--" + std::string(name) + " takes a whole number from " +
                         std::to_string(low) + " to " + std::to_string(high) + ", not '" +
                         text.toStdString() + "'"};
    return n;
}

void addOptions(QCommandLineParser &p) {
    p.addHelpOption();
    link::qt::addLinkOptions(p);
    const auto add = [&p](const char *name, const char *what, const char *value) {
        p.addOption(
            {QString::fromLatin1(name), QString::fromUtf8(what), QString::fromLatin1(value)});
    };
    add("demo", "The built-in virtual meter: dmm, dso, dso-memory or dmm-memory.", "mode");
    add("dmm-csv", "Append the readings to this CSV ('-': standard output).", "file");
    add("interval", "Seconds between readings kept: 1, 2, 5, 10, 20, 30, 60; 0 keeps all.", "s");
    add("count", "End after this many readings.", "n");
    add("duration", "End after this long: 90s, 15m, 2h, 1d.", "time");
    add("frames", "End after this many scope frames.", "n");
    add("out-dir", "Save every scope frame into this folder.", "dir");
    add("formats", "Formats of the frames: dso, csv, png (default dso).", "list");
    add("wait", "Seconds a --port device may take to appear (default 0).", "s");
    p.addOption({QStringLiteral("quiet"), QStringLiteral("No progress line and no summary.")});
}

CaptureSettings settingsOf(const QCommandLineParser &p) {
    const auto set = [&p](const char *name) { return p.isSet(QString::fromLatin1(name)); };
    const auto value = [&p](const char *name) {
        return p.value(QString::fromLatin1(name)).toStdString();
    };
    std::string error;
    const auto link = link::qt::readLinkOptions(p, value("demo"), error);
    if (!link)
        throw UsageError{error};
    CaptureSettings s;
    s.link = *link;
    if (int(!s.link.device.empty()) + int(!s.link.demo.empty()) + int(!s.link.replay.empty()) != 1)
        throw UsageError{"capture takes one of --port, --demo and --replay"};
    s.dmmCsv = value("dmm-csv");
    s.outDir = value("out-dir");
    if (s.dmmCsv.empty() && s.outDir.empty())
        throw UsageError{"nothing to keep: give --dmm-csv or --out-dir"};
    if (set("interval")) {
        s.interval = static_cast<int>(number(p, "interval", 0, 60));
        if (std::find(kIntervals.begin(), kIntervals.end(), s.interval) == kIntervals.end())
            throw UsageError{"--interval takes 0, 1, 2, 5, 10, 20, 30 or 60"};
    }
    if (set("count"))
        s.count = number(p, "count", 1, 1LL << 62);
    if (set("frames"))
        s.frames = static_cast<int>(number(p, "frames", 1, 1 << 30));
    if (set("wait"))
        s.waitSeconds = static_cast<int>(number(p, "wait", 0, 1 << 20));
    if (set("duration") && (s.durationMs = parseDuration(value("duration"))) <= 0)
        throw UsageError{"--duration takes a time such as 90s, 15m, 2h or 1d, not '" +
                         value("duration") + "'"};
    const QString formats = set("formats") ? p.value(QStringLiteral("formats")) : "dso";
    for (const QString &f : formats.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (std::find(kFormats.begin(), kFormats.end(), f.toStdString()) == kFormats.end())
            throw UsageError{"unknown frame format '" + f.toStdString() + "' (dso, csv, png)"};
        s.formats.push_back(f.toStdString());
    }
    if ((set("frames") || set("formats")) && s.outDir.empty())
        throw UsageError{"--frames and --formats need --out-dir"};
    s.quiet = set("quiet");
    return s;
}

} // namespace

long long parseDuration(const std::string &text) {
    if (text.empty() || text.size() > 12)
        return -1;
    long long unit = 1000;
    std::string digits = text;
    for (const Unit &u : kUnits)
        if (text.back() == u.suffix) {
            unit = u.ms;
            digits.pop_back();
        }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoll(digits) * unit;
}

int runCapture(const QStringList &arguments) {
    QCommandLineParser p;
    addOptions(p);
    try {
        if (!p.parse(QStringList{QStringLiteral("qvlink capture")} + arguments))
            throw UsageError{p.errorText().toStdString()};
        if (p.isSet(QStringLiteral("help"))) {
            std::fputs(usage().c_str(), stdout);
            return kDone;
        }
        if (!p.positionalArguments().isEmpty())
            throw UsageError{"capture takes no file names: use --dmm-csv or --out-dir"};
        return runCaptureSession(settingsOf(p));
    } catch (const UsageError &e) {
        complain(e.text);
        std::fputs(usage().c_str(), stderr);
        return kUsage;
    }
}

} // namespace qv::app::cli
