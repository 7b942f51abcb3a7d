#pragma once
#include "app/Program.h"

#include <string>

namespace qv::app::cli {

/// A waveform file named on the command line, opened once the window is up: DSO mode, then the
/// file as Open reads it (a refused file gives Open's message and leaves the screen empty).
/// True when the file was opened.
bool openAtStartUp(Program &program, const std::string &path);

} // namespace qv::app::cli
