#pragma once
#include "common/Control.h"
#include "common/LogControl.h"

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QWidget;

namespace qv::app::qt {

class LogView;

/// Keeps a widget showing its element's state. The element is the program's state; the widget
/// never changes it by itself: a click is reverted and handed to the program, which decides.

/// A menu item: enabled, and a check mark only while checked.
void bindMenuItem(QAction *action, common::Control &item, std::function<void()> clicked);
/// A toolbar button: enabled, and down while checked (toggle and group buttons).
void bindButton(QAction *action, common::Control &button, bool showsDown,
                std::function<void()> clicked);
/// A menu title or submenu: enabled.
void bindEnabled(QAction *action, common::Control &item);
void bindLabel(QLabel *label, common::TextControl &text);
/// The title box: edits by the user go to the element (and so to its change handlers).
void bindLineEdit(QLineEdit *edit, common::TextControl &text);
/// The log box: shows the element's text as it grows; edits by the user go back to the element.
void bindLog(LogView *view, common::LogControl &log);
void bindWindowTitle(QWidget *window, common::TextControl &caption);

} // namespace qv::app::qt
