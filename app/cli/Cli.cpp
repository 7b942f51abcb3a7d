#include "app/cli/Cli.h"

#include "app/cli/CaptureCommand.h"
#include "app/cli/ExportCommand.h"
#include "app/cli/InfoCommand.h"
#include "lang/ShownText.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace qv::app::cli {
namespace {

struct Subcommand {
    std::string_view name;
    int (*run)(const char *program, std::span<const std::string> arguments);
};

// One row per subcommand; arguments are those after the subcommand's name.
constexpr auto kSubcommands = std::to_array<Subcommand>({
    {"export", runExport},
    {"info", runInfo},
    {"capture", runCapture},
});
constexpr auto kNames = [] {
    std::array<std::string_view, kSubcommands.size()> names{};
    for (size_t i = 0; i < names.size(); ++i)
        names[i] = kSubcommands[i].name;
    return names;
}();

const Subcommand *find(std::string_view name) {
    for (const Subcommand &s : kSubcommands)
        if (s.name == name)
            return &s;
    return nullptr;
}

constexpr auto kHelpRows = std::to_array<OptionSpec>({
    {.name = "help", .shortName = 'h'},
    {.name = "help-all"},
});

// Without a window Qt's own notes (no runtime folder, fonts) would only clutter the messages.
void keepSevereQtMessages(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        complain(text.toStdString());
}

} // namespace

const char *version() {
    return QV_VERSION;
}

std::string usage() {
    return "Usage:\n"
           "  qvlink [FILE.dso]                  the window, opening FILE.dso at start-up\n"
           "  qvlink export INPUT.dso [--csv OUT.csv] [--spectrum-csv OUT.csv] [--png OUT.png]\n"
           "                [--svg OUT.svg] [--pdf OUT.pdf] [--view wave|spectrum]\n"
           "                [--window rectangular|hanning|hamming|blackman|flattop|bartlett]\n"
           "                [--db] [--scale 1..8: PNG only] [--measurements: into the CSV]\n"
           "  qvlink export INPUT.dso... --out-dir DIR [--formats csv,spectrum-csv,png,svg,pdf]\n"
           "                [--view ...] [--window ...] [--db] [--scale N] [--measurements]\n"
           "  qvlink export --record RECORD.txt --csv OUT.csv\n"
           "  qvlink info INPUT.dso [--json]\n"
           "  qvlink capture (--port DEVICE | --demo MODE | --replay FILE) [--speed 1|10|max]\n"
           "                 [--dmm-csv FILE] [--interval 0|1|2|5|10|20|30|60] [--count N]\n"
           "                 [--duration 2h] [--frames N] [--out-dir DIR] [--formats dso,csv,png]\n"
           "                 [--record-raw FILE] [--wait SECONDS] [--quiet]\n"
           "                 [--mqtt mqtt[s]://[USER@]HOST[:PORT]/PREFIX] [--mqtt-qos 0|1]\n"
           "                 [--mqtt-ca FILE] [--mqtt-cert FILE --mqtt-key FILE] [--mqtt-id ID]\n"
           "                 [--mqtt-password-file FILE] [--mqtt-queue N] [--mqtt-discovery]\n"
           "  qvlink --help | --version\n"
           "--lang zh|en before or after a subcommand: its messages' language for this run.\n"
           "'-' as OUT writes a CSV to standard output. The MQTT password comes from\n"
           "QVLINK_MQTT_PASSWORD or --mqtt-password-file.\n"
           "Exit codes: 0 done, 2 usage error, 3 an input refused, 4 an output not written,\n"
           "5 the device did not appear.\n";
}

std::span<const std::string_view> commandNames() {
    return kNames;
}

bool isSubcommand(std::span<const std::string> arguments) {
    return !arguments.empty() && find(arguments.front()) != nullptr;
}

int runSubcommand(const char *program, std::span<const std::string> arguments) {
    const Subcommand *s = arguments.empty() ? nullptr : find(arguments.front());
    if (!s)
        return usageError("unknown subcommand");
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(keepSevereQtMessages);
    // Each subcommand makes the application it needs once its arguments are read.
    return s->run(program, arguments.subspan(1));
}

std::optional<ParsedArguments> parseCommand(std::span<const OptionSpec> table,
                                            std::span<const std::string> arguments, int &exit) {
    std::vector<OptionSpec> all(kHelpRows.begin(), kHelpRows.end());
    all.insert(all.end(), table.begin(), table.end());
    std::string error;
    std::optional<ParsedArguments> parsed = parseArguments(all, arguments, error);
    if (!parsed) {
        exit = usageError(error);
        return std::nullopt;
    }
    if (parsed->has("help") || parsed->has("help-all")) {
        std::fputs(usage().c_str(), stdout);
        exit = kDone;
        return std::nullopt;
    }
    return parsed;
}

int usageError(const std::string &text) {
    complain(text);
    std::fputs(usage().c_str(), stderr);
    return kUsage;
}

void complain(const std::string &text) {
    // The program's own messages in the run's language; on a terminal the message takes the
    // place of a progress line that may stand there.
    std::fprintf(stderr, "%sqvlink: %s\n", isatty(fileno(stderr)) ? "\r\033[K" : "",
                 lang::shownString(text).c_str());
}

} // namespace qv::app::cli
