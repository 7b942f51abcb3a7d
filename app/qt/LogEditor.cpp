#include "app/qt/LogEditor.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

namespace qv::app::qt {

LogEditor::LogEditor(const QString &text, int caretLine, const QFont &font, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(tr("编辑记录"));
    box_ = new QPlainTextEdit(this);
    box_->setFont(font);
    box_->setUndoRedoEnabled(true);
    box_->setPlainText(text);
    const QTextBlock line = box_->document()->findBlockByNumber(caretLine);
    if (line.isValid())
        box_->setTextCursor(QTextCursor(line));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString LogEditor::text() const {
    return box_->toPlainText();
}

void LogEditor::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    box_->centerCursor(); // the line the user pointed at, in the middle of the box
}

} // namespace qv::app::qt
