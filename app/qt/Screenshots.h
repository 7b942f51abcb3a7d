#pragma once
#include <QString>

namespace qv::app {
class Program;
}

namespace qv::app::qt {

class MainWindow;

/// Saves pictures of the window into a folder while it runs, printing their paths, then quits:
/// for a DSO demo the waveform and the spectrum views, otherwise the live digits, a few
/// recorded lines, the status bar, the trend window and the whole screen with both windows. The
/// waits let the virtual meter's packets arrive at the link's pace.
void takeScreenshots(MainWindow &window, Program &program, const QString &folder, bool dso);

} // namespace qv::app::qt
