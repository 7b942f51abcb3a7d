#pragma once
#include "platform/SerialDevices.h"

#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace qv::app::qt {

/// The "Other port…" dialog: every serial device the system reports (name, description,
/// manufacturer, serial number, USB vendor and product id), refreshable, and a free path for
/// devices the system does not list (a pseudo-terminal, a link under /dev/serial/by-id/).
class DeviceDialog final : public QDialog, public platform::DeviceChooser {
    Q_OBJECT
  public:
    explicit DeviceDialog(QWidget *parent = nullptr);

    /// Shows the dialog modally; the chosen path, nullopt on Cancel or an empty path.
    std::optional<std::string> chooseDevice(const platform::SerialDevices &devices) override;

    /// Fills the list (the dialog's Refresh does this again).
    void load(const platform::SerialDevices &devices);
    /// The path as it stands in the field; a click on a row puts that device there.
    [[nodiscard]] std::string chosen() const;
    [[nodiscard]] QTableWidget *table() const { return table_; }
    [[nodiscard]] QLineEdit *pathField() const { return path_; }

  private:
    QTableWidget *table_ = nullptr;
    QLineEdit *path_ = nullptr;
    const platform::SerialDevices *devices_ = nullptr;
};

} // namespace qv::app::qt
