#pragma once
#include "platform/Dialogs.h"

#include <QString>

class QWidget;

namespace qv::platform::qt {

/// File dialogs that, like one shared dialog, offer the last chosen name again. They never ask
/// about overwriting and add no extension: the program does both itself.
class QtFileDialogs final : public FileDialogs {
  public:
    void setParent(QWidget *parent) { parent_ = parent; }
    std::optional<std::string> openFile(const std::string &filter) override;
    std::optional<std::string> saveFile(const std::string &filter) override;

    /// "Name(*.a)|*.a|All(*.*)|*.*" as a Qt filter: "Name(*.a);;All(*)".
    [[nodiscard]] static QString toQtFilter(const std::string &filter);

  private:
    QWidget *parent_ = nullptr;
    QString last_;
};

} // namespace qv::platform::qt
