#pragma once
#include <QWidget>

class QTableWidget;

namespace qv::app {
class Program;
}

namespace qv::app::qt {

/// Wave > Measurements…: a small window beside the main window listing the measurements of the
/// frame shown, "—" with a tool tip saying why where there is none. It follows every waveform
/// drawn while it is open.
class MeasurementsPanel : public QWidget {
    Q_OBJECT
  public:
    MeasurementsPanel(Program &program, QWidget *mainWindow);

    /// Shows the panel beside the main window (the first time) and fills it.
    void open();
    /// Fills the list from the waveform shown; nothing while the panel is hidden.
    void refresh();
    [[nodiscard]] QTableWidget *table() const { return table_; }

  private:
    Program &program_;
    QTableWidget *table_;
    bool placed_ = false;
};

} // namespace qv::app::qt
