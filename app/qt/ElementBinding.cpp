#include "app/qt/ElementBinding.h"
#include "app/qt/LogView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace qv::app::qt {
namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
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

void bindLog(LogView *view, common::LogControl &log) {
    common::LogControl::View v;
    v.replaced = [view](const std::string &) { view->reset(); };
    v.appended = [view](std::string_view) { view->grew(); };
    v.caretToEnd = [view] { view->scrollToEnd(); };
    v.enabledChanged = [view](bool on) { view->setEnabled(on); };
    log.setView(std::move(v));
    view->reset();
    view->setEnabled(log.enabled());
    view->edited = [&log](std::string text) { log.editedByUser(std::move(text)); };
}

void bindWindowTitle(QWidget *window, common::TextControl &caption) {
    const auto show = [window, &caption] { window->setWindowTitle(text(caption.text())); };
    show();
    caption.subscribe(show);
}

} // namespace qv::app::qt
