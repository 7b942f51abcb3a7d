// The program: a subcommand runs here, without loading the window's libraries; the window runs
// from its module once the arguments ask for it.
#include "app/cli/Cli.h"
#include "app/cli/LanguageOption.h"
#include "app/cli/Modules.h"
#include "app/cli/WindowArguments.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace qv;

int main(int argc, char *argv[]) {
    // The arguments as the bytes given: a file's name need not be UTF-8.
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (std::string error; !app::cli::takeLanguageOption(arguments, error))
        return app::cli::usageError(error);
    if (app::cli::isSubcommand(arguments))
        return app::cli::runSubcommand(argv[0], arguments);
    // Decided before any application object, so that no display is needed to say so.
    app::cli::WindowStart start = app::cli::windowStart(argv[0], arguments);
    if (!start.window) {
        std::fputs(start.out.c_str(), stdout);
        if (!start.error.empty())
            app::cli::complain(start.error);
        return start.code;
    }
    std::string error;
    app::cli::WindowMain *window = app::cli::loadWindow(error);
    if (!window) {
        app::cli::complain(error);
        return 1;
    }
    return window(argv[0], *start.window);
}
