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

  protected:
    /// Moves along when the main window moves.
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    Program &program_;
    QTableWidget *table_;
    bool placed_ = false;
    QPoint mainAt_; ///< where the main window stood when last seen
};

} // namespace qv::app::qt
