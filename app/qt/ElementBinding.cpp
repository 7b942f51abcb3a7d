#include "app/qt/ElementBinding.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QWidget>

#include <memory>

namespace qv::app::qt {
namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The log keeps CR LF line ends; the editor shows lines.
QString toEditor(std::string_view s) {
    QString out = text(s);
    out.remove(QLatin1Char('\r'));
    return out;
}

std::string fromEditor(const QString &s) {
    QString out = s;
    out.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return out.toStdString();
}

} // namespace

void bindMenuItem(QAction *action, common::Control &item, std::function<void()> clicked) {
    const auto show = [action, &item] {
        action->setEnabled(item.enabled());
        action->setCheckable(item.checked());
        action->setChecked(item.checked());
    };
    show();
    item.subscribe(show);
    QObject::connect(action, &QAction::triggered, action, [show, clicked = std::move(clicked)] {
        show();
        if (clicked)
            clicked();
    });
}

void bindButton(QAction *action, common::Control &button, bool showsDown,
                std::function<void()> clicked) {
    action->setCheckable(showsDown);
    const auto show = [action, &button, showsDown] {
        action->setEnabled(button.enabled());
        if (showsDown)
            action->setChecked(button.checked());
    };
    show();
    button.subscribe(show);
    QObject::connect(action, &QAction::triggered, action, [show, clicked = std::move(clicked)] {
        show();
        if (clicked)
            clicked();
    });
}

void bindEnabled(QAction *action, common::Control &item) {
    const auto show = [action, &item] { action->setEnabled(item.enabled()); };
    show();
    item.subscribe(show);
}

void bindLabel(QLabel *label, common::TextControl &t) {
    const auto show = [label, &t] { label->setText(text(t.text())); };
    show();
    t.subscribe(show);
}

void bindLineEdit(QLineEdit *edit, common::TextControl &t) {
    const auto show = [edit, &t] {
        const QString now = text(t.text());
        if (edit->text() != now)
            edit->setText(now);
    };
    show();
    t.subscribe(show);
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [&t](const QString &s) { t.setText(s.toStdString()); });
}

void bindLog(QPlainTextEdit *edit, common::LogControl &log) {
    // While the program writes, the editor's change signal must not echo back as a user edit.
    auto writing = std::make_shared<bool>(false);
    common::LogControl::View view;
    view.replaced = [edit, writing](const std::string &all) {
        *writing = true;
        edit->setPlainText(toEditor(all));
        *writing = false;
    };
    view.appended = [edit, writing](std::string_view more) {
        *writing = true;
        QTextCursor cursor(edit->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(toEditor(more));
        *writing = false;
    };
    view.caretToEnd = [edit] {
        QTextCursor cursor = edit->textCursor();
        cursor.movePosition(QTextCursor::End);
        edit->setTextCursor(cursor);
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
    };
    view.enabledChanged = [edit](bool on) { edit->setEnabled(on); };
    log.setView(view);
    edit->setPlainText(toEditor(log.text()));
    edit->setEnabled(log.enabled());
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, &log, writing] {
        if (!*writing)
            log.editedByUser(fromEditor(edit->toPlainText()));
    });
}

void bindWindowTitle(QWidget *window, common::TextControl &caption) {
    const auto show = [window, &caption] { window->setWindowTitle(text(caption.text())); };
    show();
    caption.subscribe(show);
}

} // namespace qv::app::qt
