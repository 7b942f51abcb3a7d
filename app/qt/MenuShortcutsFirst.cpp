#include "app/qt/MenuShortcutsFirst.h"

#include <QKeyEvent>

namespace qv::app::qt {

bool MenuShortcutsFirst::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence &shortcut : shortcuts_) {
        if (shortcut == pressed) {
            // Not accepted: the box does not claim the key, so the shortcut runs.
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qv::app::qt
