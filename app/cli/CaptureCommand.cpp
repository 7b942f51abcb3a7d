#include "app/cli/CaptureCommand.h"

#include "app/cli/CaptureSession.h"
#include "app/cli/Cli.h"
#include "app/cli/HeadlessApplication.h"
#include "app/cli/LinkArguments.h"
#include "app/cli/MqttArguments.h"
#include "app/cli/OutputCheck.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstdio>

namespace qv::app::cli {
namespace {

struct UsageError {
    std::string text;
};

constexpr auto kIntervals = std::to_array<int>({0, 1, 2, 5, 10, 20, 30, 60});
constexpr auto kFormats = std::to_array<std::string_view>({"dso", "csv", "png"});

struct Unit {
    char suffix;
    long long ms;
};
constexpr auto kUnits =
    std::to_array<Unit>({{'s', 1000}, {'m', 60000}, {'h', 3600000}, {'d', 86400000}});

using Value = OptionSpec::Value;

constexpr auto kRows = std::to_array<OptionSpec>({
    {.name = "demo", .value = Value::Required, .word = true},
    {.name = "dmm-csv", .value = Value::Required},
    {.name = "interval", .value = Value::Required},
    {.name = "count", .value = Value::Required},
    {.name = "duration", .value = Value::Required, .word = true},
    {.name = "frames", .value = Value::Required},
    {.name = "out-dir", .value = Value::Required},
    {.name = "formats", .value = Value::Required, .word = true},
    {.name = "wait", .value = Value::Required},
    {.name = "quiet"},
});

std::vector<OptionSpec> table() {
    std::vector<OptionSpec> rows(kRows.begin(), kRows.end());
    const auto link = linkOptionRows();
    rows.insert(rows.end(), link.begin(), link.end());
    const auto mqtt = mqttOptionRows();
    rows.insert(rows.end(), mqtt.begin(), mqtt.end());
    return rows;
}

long long number(const ParsedArguments &p, const char *name, long long low, long long high) {
    bool ok{}; // set by the conversion
    const std::string text = p.valueOr(name, "");
    const long long n = QString::fromStdString(text).toLongLong(&ok);
    if (!ok || n < low || n > high)
        throw UsageError{"--" + std::string(name) + " takes a whole number from " +
                         std::to_string(low) + " to " + std::to_string(high) + ", not '" + text +
                         "'"};
    return n;
}

// The raw recording and the CSV are written, the replay read: none may be another.
void checkFiles(const CaptureSettings &s) {
    std::vector<NamedFile> inputs, outputs;
    if (!s.link.replay.empty())
        inputs.push_back({s.link.replay, "--replay"});
    if (!s.link.recordRaw.empty())
        outputs.push_back({s.link.recordRaw, "--record-raw"});
    if (!s.dmmCsv.empty())
        outputs.push_back({s.dmmCsv, "--dmm-csv"});
    if (std::string conflict = outputConflict(inputs, outputs); !conflict.empty())
        throw UsageError{std::move(conflict)};
}

/// The meter in the MQTT client's default id: the device, "demo-dso", "replay".
std::string meterName(const link::qt::LinkOptions &link) {
    if (!link.demo.empty())
        return "demo-" + link.demo;
    return link.replay.empty() ? link.device : "replay";
}

CaptureSettings settingsOf(const ParsedArguments &p) {
    std::string error;
    const auto link = linkOptionsOf(p, error);
    if (!link)
        throw UsageError{error};
    CaptureSettings s;
    s.link = *link;
    // A demo or a replay is the only port: the system's ports are never probed or listed.
    s.link.systemPorts = false;
    if (int(!s.link.device.empty()) + int(!s.link.demo.empty()) + int(!s.link.replay.empty()) != 1)
        throw UsageError{"capture takes one of --port, --demo and --replay"};
    s.dmmCsv = p.valueOr("dmm-csv", "");
    s.outDir = p.valueOr("out-dir", "");
    s.mqtt = mqttArgumentsOf(p, meterName(s.link), error);
    if (!error.empty())
        throw UsageError{error};
    if (s.dmmCsv.empty() && s.outDir.empty() && !s.mqtt)
        throw UsageError{"nothing to keep: give --dmm-csv, --out-dir or --mqtt"};
    if (p.has("interval")) {
        s.interval = static_cast<int>(number(p, "interval", 0, 60));
        if (std::find(kIntervals.begin(), kIntervals.end(), s.interval) == kIntervals.end()) {
            std::string list;
            for (std::size_t i = 0; i + 1 < kIntervals.size(); ++i)
                list += std::to_string(kIntervals[i]) + (i + 2 < kIntervals.size() ? ", " : " or ");
            throw UsageError{"--interval takes " + list + std::to_string(kIntervals.back())};
        }
    }
    if (p.has("count"))
        s.count = number(p, "count", 1, 1LL << 62);
    if (p.has("frames"))
        s.frames = static_cast<int>(number(p, "frames", 1, 1 << 30));
    if (p.has("wait"))
        s.waitSeconds = static_cast<int>(number(p, "wait", 0, 1 << 20));
    const std::string duration = p.valueOr("duration", "");
    if (p.has("duration") && (s.durationMs = parseDuration(duration)) <= 0)
        throw UsageError{"--duration takes a time such as 90s, 15m, 2h or 1d, not '" + duration +
                         "'"};
    const std::string formats = p.valueOr("formats", "dso");
    for (size_t from = 0; from < formats.size();) {
        const size_t comma = std::min(formats.find(',', from), formats.size());
        const std::string f = formats.substr(from, comma - from);
        from = comma + 1;
        if (f.empty())
            continue;
        if (std::find(kFormats.begin(), kFormats.end(), f) == kFormats.end())
            throw UsageError{"unknown frame format '" + f + "' (dso, csv, png)"};
        s.formats.push_back(f);
    }
    if ((p.has("frames") && s.outDir.empty() && !s.mqtt) || (p.has("formats") && s.outDir.empty()))
        throw UsageError{p.has("formats") ? "--formats needs --out-dir"
                                          : "--frames needs --out-dir or --mqtt"};
    s.quiet = p.has("quiet");
    checkFiles(s);
    return s;
}

} // namespace

long long parseDuration(const std::string &text) {
    if (text.empty() || text.size() > 12)
        return 0;
    long long unit = 1000;
    std::string digits = text;
    for (const Unit &u : kUnits)
        if (text.back() == u.suffix) {
            unit = u.ms;
            digits.pop_back();
        }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoll(digits) * unit;
}

int runCapture(const char *program, std::span<const std::string> arguments) {
    int exit = kDone;
    const std::optional<ParsedArguments> p = parseCommand(table(), arguments, exit);
    if (!p)
        return exit;
    try {
        if (!p->positional.empty())
            throw UsageError{"capture takes no file names: use --dmm-csv or --out-dir"};
        const CaptureSettings settings = settingsOf(*p);
        // Fonts and a platform only for pictures of the frames; readings need neither.
        const HeadlessApplication application(program, settings.pictures());
        if (!application.ok())
            return kOutputFailed;
        return runCaptureSession(settings, application.pictures());
    } catch (const UsageError &e) {
        return usageError(e.text);
    }
}

} // namespace qv::app::cli
