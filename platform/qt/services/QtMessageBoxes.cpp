#include "platform/qt/services/QtMessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace qv::platform::qt {

Answer QtMessageBoxes::show(const Message &m) {
    const QString title = QString::fromStdString(m.title.empty() ? kApplicationTitle : m.title);
    QMessageBox box(m.warning ? QMessageBox::Warning : QMessageBox::NoIcon, title,
                    QString::fromStdString(m.text), QMessageBox::NoButton, parent_);
    if (m.systemModal)
        box.setWindowModality(Qt::ApplicationModal);
    struct Choice {
        QMessageBox::StandardButton button;
        Answer answer;
    };
    std::vector<Choice> choices;
    switch (m.buttons) {
    case Buttons::Ok:
        choices = {{QMessageBox::Ok, Answer::Ok}};
        break;
    case Buttons::OkCancel:
        choices = {{QMessageBox::Ok, Answer::Ok}, {QMessageBox::Cancel, Answer::Cancel}};
        break;
    case Buttons::YesNoCancel:
        choices = {{QMessageBox::Yes, Answer::Yes},
                   {QMessageBox::No, Answer::No},
                   {QMessageBox::Cancel, Answer::Cancel}};
        break;
    case Buttons::YesNo:
        choices = {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}};
        break;
    }
    for (const Choice &c : choices) {
        box.addButton(c.button);
        if (c.answer == m.defaultButton)
            box.setDefaultButton(c.button);
    }
    box.setEscapeButton(choices.back().button);
    if (!m.details.empty())
        box.setInformativeText(QString::fromStdString(m.details));
    // Centred over the window it belongs to, wherever the window system put that window.
    if (parent_ && parent_->isVisible()) {
        box.adjustSize();
        const QRect over = parent_->window()->frameGeometry();
        box.move(over.center() - QPoint(box.width() / 2, box.height() / 2));
    }
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice &c : choices)
        if (c.button == pressed)
            return c.answer;
    // Closed without a button (the program ended while asking): a yes-or-no question stays
    // unanswered; the others take their escape button.
    return m.buttons == Buttons::YesNo ? Answer::Cancel : choices.back().answer;
}

} // namespace qv::platform::qt
