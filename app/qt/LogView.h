#pragma once
#include "common/LogControl.h"
#include "common/LogLines.h"

#include <QAbstractScrollArea>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QMenu;

namespace qv::app::qt {

/// The log box: shows the log's own text, laying out only the lines in view, so a day of lines
/// costs little more than the text itself. Long lines wrap at the box's width (no horizontal
/// scroll bar). Lines are selected with the mouse and copied from the context menu, with
/// Ctrl+Insert, or with Ctrl+C while no window command takes it; double-click, Enter, F2 or the
/// context menu's edit item opens the text in an editor, on the line of the caret.
class LogView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit LogView(const common::LogControl &log, QWidget *parent = nullptr);

    /// Called with the whole text when the user accepts an edit.
    std::function<void(std::string)> edited;
    /// Whether a window command takes Ctrl+C now (the context menu then names Ctrl+Insert).
    std::function<bool()> ctrlCTaken;
    /// Called when the box is enabled or disabled.
    std::function<void(bool)> enabledChanged;
    /// The key that opens the editor, named in the menus.
    static constexpr QKeyCombination kEditKey{Qt::Key_F2};

    /// The log's text was replaced: show it from the top line.
    void reset();
    /// The log's text grew at its end.
    void grew();
    /// Scrolls so the last line is in view (the caret after the last character).
    void scrollToEnd();

    [[nodiscard]] std::size_t lineCount() const { return lines_.count(); }
    /// How many rows line i takes at the current width.
    [[nodiscard]] int rowsOfLine(std::size_t i) const;
    [[nodiscard]] QString selectedText() const;
    void selectAll();
    void copy() const;
    /// Opens the editor on the whole text, the caret on the caret's line; OK hands the edited
    /// text to `edited`.
    void edit();
    /// The context menu: copy, select all, edit, each with its key.
    [[nodiscard]] std::unique_ptr<QMenu> contextMenu();
    /// The editor while it is open, else null.
    [[nodiscard]] QDialog *editor() const { return editor_; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

  private:
    [[nodiscard]] std::string_view text() const { return log_.text(); }
    [[nodiscard]] QString lineText(std::size_t i) const;
    /// Where each row of a line starts (character indexes), wrapping at the text width.
    [[nodiscard]] std::vector<int> rowStarts(const QString &line) const;
    [[nodiscard]] int textWidth() const;
    [[nodiscard]] std::size_t totalRows() const;
    [[nodiscard]] std::size_t lineOfRow(std::size_t row) const;
    /// The byte offset in the text under a point of the viewport.
    [[nodiscard]] std::size_t offsetAt(QPoint point) const;
    void layoutRows(std::size_t fromLine);
    void updateScrollBar();

    const common::LogControl &log_;
    common::LogLines lines_;
    std::vector<std::size_t> firstRow_;  ///< the first row of each line
    std::size_t anchor_ = 0, caret_ = 0; ///< the selection, as byte offsets in the text
    QDialog *editor_ = nullptr;
};

} // namespace qv::app::qt
