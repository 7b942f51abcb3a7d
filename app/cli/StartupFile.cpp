#include "app/cli/StartupFile.h"

namespace qv::app::cli {

bool openAtStartUp(Program &program, const std::string &path) {
    program.commands().pressButton("DSOmode");
    return program.waveFiles().FileOpen0(path);
}

} // namespace qv::app::cli
