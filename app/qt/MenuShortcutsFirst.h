#pragma once
#include <QKeySequence>
#include <QList>
#include <QObject>

namespace qv::app::qt {

/// Lets the window's menu shortcuts win over a focused text box: Ctrl+C in the title box copies
/// the scope screen, as it does wherever the focus is, instead of the box's own selection. A
/// shortcut whose item is disabled is no shortcut then: the key goes to the box (Ctrl+C copies
/// the box's selection).
class MenuShortcutsFirst final : public QObject {
  public:
    MenuShortcutsFirst(QList<QKeySequence> shortcuts, QObject *parent)
        : QObject(parent), shortcuts_(std::move(shortcuts)) {}

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QList<QKeySequence> shortcuts_;
};

} // namespace qv::app::qt
