#pragma once
#include "platform/Dialogs.h"

#include <QString>

#include <functional>
#include <map>

class QWidget;

namespace qv::platform::qt {

/// File dialogs that never ask about overwriting and add no extension: the program does both
/// itself. Each dialog (known by its filter) offers its own last chosen name again; a dialog not
/// used yet starts in the folder of the last name chosen in any of them.
class QtFileDialogs final : public FileDialogs {
  public:
    /// Shows a dialog starting at `start` with a Qt filter; the chosen name, empty on Cancel.
    using Ask = std::function<QString(QWidget *parent, const QString &start, const QString &filter,
                                      bool save)>;

    QtFileDialogs();
    /// Asks through `ask` instead of QFileDialog (tests).
    explicit QtFileDialogs(Ask ask) : ask_(std::move(ask)) {}

    void setParent(QWidget *parent) { parent_ = parent; }
    std::optional<std::string> openFile(const std::string &filter) override;
    std::optional<std::string> saveFile(const std::string &filter) override;

    /// "Name(*.a)|*.a|All(*.*)|*.*" as a Qt filter: "Name(*.a);;All(*)".
    [[nodiscard]] static QString toQtFilter(const std::string &filter);

  private:
    std::optional<std::string> choose(const std::string &filter, bool save);

    QWidget *parent_ = nullptr;
    Ask ask_;
    std::map<std::string, QString> last_; ///< by filter
    QString lastFolder_;
};

} // namespace qv::platform::qt
