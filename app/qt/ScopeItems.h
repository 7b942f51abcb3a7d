#pragma once
#include <map>
#include <string>

class QAction;
class QMainWindow;

namespace qv::app {
class Program;
}

namespace qv::app::qt {

class MeasurementsPanel;

/// Adds the scope's extra items to the Wave menu: Measurements…, Reference (Keep this trace,
/// Open reference file…, Clear), Previous frame and Next frame (Page Up, Page Down), and the
/// spectrum's Peak readout. Each action goes into actions under its name (its object name too)
/// and the panel is made for Measurements…; the window's menus must be built.
MeasurementsPanel *addScopeItems(QMainWindow &window, Program &program,
                                 std::map<std::string, QAction *> &actions);

} // namespace qv::app::qt
