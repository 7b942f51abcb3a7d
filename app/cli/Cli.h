#pragma once
#include "app/cli/Arguments.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qv::app::cli {

/// Exit codes of the subcommands.
enum Exit : int { kDone = 0, kUsage = 2, kInputRefused = 3, kOutputFailed = 4, kNoDevice = 5 };

/// The version the program reports.
[[nodiscard]] const char *version();
/// Usage of every subcommand, and the exit codes.
[[nodiscard]] std::string usage();

/// The subcommands' names: "export", "info", "capture".
[[nodiscard]] std::span<const std::string_view> commandNames();
/// Whether the arguments (after the program's name) start with a subcommand's name.
[[nodiscard]] bool isSubcommand(std::span<const std::string> arguments);
/// Runs the subcommand named by arguments[0] without a window and without a display (Qt's
/// offscreen platform unless QT_QPA_PLATFORM names one, and only where pictures are drawn); its
/// exit code.
[[nodiscard]] int runSubcommand(const char *program, std::span<const std::string> arguments);

/// A subcommand's arguments parsed by its table and -h, --help, --help-all. nullopt when the run
/// ends here, with its exit code: the usage printed for help (kDone), or a usage error (kUsage).
[[nodiscard]] std::optional<ParsedArguments>
parseCommand(std::span<const OptionSpec> table, std::span<const std::string> arguments, int &exit);
/// A subcommand's usage error: the message and the usage on stderr; kUsage.
int usageError(const std::string &text);

/// Messages on stderr, "qvlink: " first.
void complain(const std::string &text);

} // namespace qv::app::cli
