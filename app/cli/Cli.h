#pragma once
#include <QStringList>

#include <string>

namespace qv::app::cli {

/// Exit codes of the subcommands.
enum Exit : int { kDone = 0, kUsage = 2, kInputRefused = 3, kOutputFailed = 4, kNoDevice = 5 };

/// The version the program reports.
[[nodiscard]] const char *version();
/// Usage of every subcommand, and the exit codes.
[[nodiscard]] std::string usage();

/// Whether argv names a subcommand ("export", "info", "capture") rather than the window.
[[nodiscard]] bool isSubcommand(int argc, char **argv);
/// Lets a run that opens no window (a subcommand, --help, --version) work without a display:
/// chooses Qt's offscreen platform unless a platform was chosen. Call before the application
/// object is made.
void headlessWhenNoWindow(int argc, char **argv);
/// Runs the subcommand named by arguments[1] (arguments[0] is the program); its exit code.
[[nodiscard]] int runSubcommand(const QStringList &arguments);

/// Messages on stderr, "qvlink: " first.
void complain(const std::string &text);

} // namespace qv::app::cli
