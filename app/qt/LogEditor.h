#pragma once
#include <QDialog>

class QPlainTextEdit;

namespace qv::app::qt {

/// The editor of the record log ("编辑记录", OK/Cancel): the whole text in a plain-text box, the
/// caret at the start of a given line, scrolled into view when the editor opens.
class LogEditor final : public QDialog {
    Q_OBJECT
  public:
    LogEditor(const QString &text, int caretLine, const QFont &font, QWidget *parent);

    /// The text as edited, lines ending in LF.
    [[nodiscard]] QString text() const;
    [[nodiscard]] QPlainTextEdit *box() const { return box_; }

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    QPlainTextEdit *box_ = nullptr;
};

} // namespace qv::app::qt
