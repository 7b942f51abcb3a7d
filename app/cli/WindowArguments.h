#pragma once
#include "link/qt/LinkOptions.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv::app::cli {

/// What the window was asked for on the command line, names as the bytes given.
struct WindowOptions {
    std::optional<std::string> file;        ///< a waveform file to open at start-up
    std::optional<std::string> screenshots; ///< --screenshots: the folder of the pictures
    std::optional<std::size_t> history;     ///< --history: frames kept for stepping back
    link::qt::LinkOptions link;             ///< --demo (in lower case), --port, --replay, ...
    std::vector<std::string> toolkit;       ///< Qt's own options with their values, as given
};

/// How a start without a subcommand goes on: the window, or an end with what to print (--help,
/// --help-all, --version, a usage error), decided before any application object is made.
struct WindowStart {
    std::optional<WindowOptions> window;
    std::string out;   ///< for standard output
    std::string error; ///< a one-line usage error, for stderr
    int code = 0;      ///< the exit code when there is no window
};

/// Reads the arguments after the program's name. Only options of the window, Qt's own options
/// and one file start the window; a mistyped command, an unknown option or a second file is a
/// usage error. program is the name the help shows.
[[nodiscard]] WindowStart windowStart(std::string_view program,
                                      std::span<const std::string> arguments);

} // namespace qv::app::cli
