#pragma once
#include "platform/Dialogs.h"

class QWidget;

namespace qv::platform::qt {

/// Message boxes as QMessageBox, modal to the main window and centred over it; a message's
/// details stand under its text.
class QtMessageBoxes final : public MessageBoxes {
  public:
    void setParent(QWidget *parent) { parent_ = parent; }
    Answer show(const Message &message) override;

  private:
    QWidget *parent_ = nullptr;
};

} // namespace qv::platform::qt
