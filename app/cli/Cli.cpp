#include "app/cli/Cli.h"

#include "app/cli/CaptureCommand.h"
#include "app/cli/ExportCommand.h"
#include "app/cli/InfoCommand.h"

#include <QtGlobal>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace qv::app::cli {
namespace {

struct Subcommand {
    std::string_view name;
    int (*run)(const QStringList &arguments);
};

// One row per subcommand; arguments are those after the subcommand's name.
constexpr std::array<Subcommand, 3> kSubcommands{{
    {"export", runExport},
    {"info", runInfo},
    {"capture", runCapture},
}};

const Subcommand *find(std::string_view name) {
    for (const Subcommand &s : kSubcommands)
        if (s.name == name)
            return &s;
    return nullptr;
}

constexpr std::array<std::string_view, 4> kNoWindowOptions{"--help", "-h", "--version", "-v"};

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
           "                [--db] [--scale 1..8: PNG only]\n"
           "  qvlink export INPUT.dso... --out-dir DIR [--formats csv,spectrum-csv,png,svg,pdf]\n"
           "                [--view ...] [--window ...] [--db] [--scale N]\n"
           "  qvlink export --record RECORD.txt --csv OUT.csv\n"
           "  qvlink info INPUT.dso [--json]\n"
           "  qvlink capture (--port DEVICE | --demo MODE | --replay FILE) [--speed 1|10|max]\n"
           "                 [--dmm-csv FILE] [--interval 0|1|2|5|10|20|30|60] [--count N]\n"
           "                 [--duration 2h] [--frames N] [--out-dir DIR] [--formats dso,csv,png]\n"
           "                 [--record-raw FILE] [--wait SECONDS] [--quiet]\n"
           "  qvlink --help | --version\n"
           "'-' as OUT writes a CSV to standard output.\n"
           "Exit codes: 0 done, 2 usage error, 3 an input refused, 4 an output not written,\n"
           "5 the device did not appear.\n";
}

bool isSubcommand(int argc, char **argv) {
    return argc > 1 && find(argv[1]) != nullptr;
}

void headlessWhenNoWindow(int argc, char **argv) {
    bool noWindow = isSubcommand(argc, argv);
    for (int i = 1; i < argc && !noWindow; ++i)
        for (const std::string_view option : kNoWindowOptions)
            noWindow = noWindow || option == argv[i];
    if (noWindow && std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (isSubcommand(argc, argv))
        qInstallMessageHandler(keepSevereQtMessages);
}

int runSubcommand(const QStringList &arguments) {
    const Subcommand *s = arguments.size() > 1 ? find(arguments[1].toStdString()) : nullptr;
    if (!s) {
        complain("unknown subcommand");
        std::fputs(usage().c_str(), stderr);
        return kUsage;
    }
    return s->run(arguments.mid(2));
}

void complain(const std::string &text) {
    // On a terminal the message takes the place of a progress line that may stand there.
    std::fprintf(stderr, "%sqvlink: %s\n", isatty(fileno(stderr)) ? "\r\033[K" : "", text.c_str());
}

} // namespace qv::app::cli
