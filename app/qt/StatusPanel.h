#pragma once
#include <QLabel>

namespace qv::app::qt {

/// A panel of the status bar. It keeps the width the bar gives it, whatever its text: a text too
/// long for it is shown elided in the middle ("通信电缆未连接在/dev/ser…port0，通信无法建立"), and
/// the whole text is then its tool tip, above the panel's own note (panel 1: what happened to
/// the link). `text()` is always the whole text.
class StatusPanel final : public QLabel {
    Q_OBJECT
  public:
    explicit StatusPanel(QWidget *parent = nullptr);

    void setPanelText(const QString &text);
    /// A tool tip of the panel's own, shown whether the text fits or not.
    void setNote(const QString &note);
    /// Where a text too long for the panel loses its letters (the middle unless told).
    void setElideMode(Qt::TextElideMode mode) { elide_ = mode; }
    /// The text as drawn: whole, or elided to the panel's width.
    [[nodiscard]] QString shownText() const;
    [[nodiscard]] QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    [[nodiscard]] QRect textRect() const;
    void updateTip();

    QString note_;
    Qt::TextElideMode elide_ = Qt::ElideMiddle;
};

} // namespace qv::app::qt
