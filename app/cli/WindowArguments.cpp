#include "app/cli/WindowArguments.h"

#include "app/cli/Arguments.h"
#include "app/cli/Cli.h"
#include "app/cli/LinkArguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>

namespace qv::app::cli {
namespace {

using Value = OptionSpec::Value;
using Kind = OptionSpec::Kind;

/// The most frames --history takes.
constexpr std::size_t kMaxHistory = 10000;

constexpr auto kOwnRows = std::to_array<OptionSpec>({
    {.name = "help", .description = "Displays help on commandline options.", .shortName = 'h'},
    {.name = "help-all", .description = "Displays help including Qt specific options."},
    {.name = "version", .description = "Displays version information.", .shortName = 'v'},
    {.name = "demo",
     .value = Value::Optional,
     .valueName = "mode",
     .description = "Put the built-in virtual meter on port 1, sending dmm, dso, dso-memory or "
                    "dmm-memory packets.",
     .word = true,
     .fallback = "dmm"},
    {.name = "screenshots",
     .value = Value::Required,
     .valueName = "folder",
     .description = "Save pictures of the window into this folder while it runs, then quit."},
    {.name = "lang",
     .value = Value::Required,
     .valueName = "zh|en",
     .description = "The language of the window and the messages for this run (the setting of "
                    "Help > Language otherwise)."},
    {.name = "history",
     .value = Value::Required,
     .valueName = "N",
     .description = "Keep the last N frames (0 to 10000; 0 keeps none) to step back through "
                    "while stopped. Default: the saved setting, else 100."},
});

// Qt's own options: the application object takes them (with one dash or two), --help-all lists
// them.
constexpr auto kToolkitRows = std::to_array<OptionSpec>({
    {.name = "qmljsdebugger",
     .value = Value::Required,
     .valueName = "value",
     .description = "Activates the QML/JS debugger with a specified port. The value must be of "
                    "format port:1234[,block]. \"block\" makes the application wait for a "
                    "connection.",
     .kind = Kind::Toolkit},
    {.name = "platform",
     .value = Value::Required,
     .valueName = "platformName[:options]",
     .description = "QPA plugin. See QGuiApplication documentation for available options for "
                    "each plugin.",
     .kind = Kind::Toolkit},
    {.name = "platformpluginpath",
     .value = Value::Required,
     .valueName = "path",
     .description = "Path to the platform plugins.",
     .kind = Kind::Toolkit},
    {.name = "platformtheme",
     .value = Value::Required,
     .valueName = "theme",
     .description = "Platform theme.",
     .kind = Kind::Toolkit},
    {.name = "plugin",
     .value = Value::Required,
     .valueName = "plugin",
     .description = "Additional plugins to load, can be specified multiple times.",
     .kind = Kind::Toolkit},
    {.name = "qwindowgeometry",
     .value = Value::Required,
     .valueName = "geometry",
     .description = "Window geometry for the main window, using the X11-syntax, like "
                    "100x100+50+50.",
     .kind = Kind::Toolkit},
    {.name = "qwindowicon",
     .value = Value::Required,
     .valueName = "icon",
     .description = "Default window icon.",
     .kind = Kind::Toolkit},
    {.name = "qwindowtitle",
     .value = Value::Required,
     .valueName = "title",
     .description = "Title of the first window.",
     .kind = Kind::Toolkit},
    {.name = "reverse",
     .description = "Sets the application's layout direction to Qt::RightToLeft (debugging "
                    "helper).",
     .kind = Kind::Toolkit},
    {.name = "session",
     .value = Value::Required,
     .valueName = "session",
     .description = "Restores the application from an earlier session.",
     .kind = Kind::Toolkit},
    {.name = "style", .value = Value::Required, .kind = Kind::Hidden},
    {.name = "stylesheet", .value = Value::Required, .kind = Kind::Hidden},
    {.name = "widgetcount", .kind = Kind::Hidden},
    {.name = "display", .value = Value::Required, .kind = Kind::Hidden},
});

const std::vector<OptionSpec> &table() {
    static const std::vector<OptionSpec> rows = [] {
        std::vector<OptionSpec> all(kOwnRows.begin(), kOwnRows.end());
        const auto link = linkOptionRows();
        all.insert(all.end(), link.begin(), link.end());
        all.insert(all.end(), kToolkitRows.begin(), kToolkitRows.end());
        return all;
    }();
    return rows;
}

std::string helpText(std::string_view program, bool toolkit) {
    return "Usage: " + std::string(program) + " [options] [FILE.dso]\n" +
           "Companion program for the handheld scope-meter\n\n" + usage() + "\n\n" +
           optionHelp(table(), toolkit, "file", "A waveform file to open at start-up.");
}

bool exists(const std::string &path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(path), error);
}

std::string inQuotes(std::string_view text) {
    return '"' + std::string(text) + '"';
}

// A first argument that names no file but nearly a command: a mistyped command.
std::optional<std::string> mistypedCommand(std::span<const std::string> arguments) {
    if (arguments.empty() || arguments.front().starts_with('-') || exists(arguments.front()))
        return std::nullopt;
    const auto near = nearest(arguments.front(), commandNames());
    if (!near)
        return std::nullopt;
    return "unknown command " + inQuotes(arguments.front()) + " (did you mean " + inQuotes(*near) +
           "?)";
}

// More than one positional argument: the window opens one file.
std::optional<std::string> extraArguments(const std::vector<std::string> &positional) {
    if (positional.size() < 2)
        return std::nullopt;
    const std::string &first = positional.front();
    const auto names = commandNames();
    if (std::find(names.begin(), names.end(), first) != names.end())
        return "the command " + inQuotes(first) + " goes first, before any option";
    if (!exists(first) && first.find_first_of("./") == std::string::npos)
        return "unknown command " + inQuotes(first);
    return "the window opens one file: " + inQuotes(positional[1]) + " is one too many";
}

WindowStart ended(std::string error) {
    return {std::nullopt, {}, std::move(error), kUsage};
}

/// --history's value: a whole number 0..kMaxHistory.
std::optional<std::size_t> historyCount(const std::string &text) {
    std::size_t n = 0;
    const char *end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, n);
    if (read.ec != std::errc{} || read.ptr != end || n > kMaxHistory)
        return std::nullopt;
    return n;
}

} // namespace

WindowStart windowStart(std::string_view program, std::span<const std::string> arguments) {
    if (auto mistyped = mistypedCommand(arguments))
        return ended(std::move(*mistyped));
    std::string error;
    std::optional<ParsedArguments> parsed = parseArguments(table(), arguments, error);
    if (!parsed)
        return ended(std::move(error));
    if (parsed->has("version"))
        return {std::nullopt, "qvlink " + std::string(version()) + "\n", {}, kDone};
    if (parsed->has("help") || parsed->has("help-all"))
        return {std::nullopt, helpText(program, parsed->has("help-all")), {}, kDone};
    if (auto extra = extraArguments(parsed->positional))
        return ended(std::move(*extra));
    std::optional<link::qt::LinkOptions> link = linkOptionsOf(*parsed, error);
    if (!link)
        return ended(std::move(error));
    WindowOptions window;
    if (!parsed->positional.empty())
        window.file = parsed->positional.front();
    window.screenshots = parsed->value("screenshots");
    if (const auto history = parsed->value("history")) {
        window.history = historyCount(*history);
        if (!window.history)
            return ended("--history takes a number of frames from 0 to " +
                         std::to_string(kMaxHistory) + ", not " + inQuotes(*history));
    }
    window.link = std::move(*link);
    window.toolkit = std::move(parsed->toolkit);
    return {std::move(window), {}, {}, kDone};
}

} // namespace qv::app::cli
