#include "app/qt/StatusPanel.h"

#include <QPainter>
#include <QStyle>

namespace qv::app::qt {

StatusPanel::StatusPanel(QWidget *parent) : QLabel(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    // The bar shares its width by the panels' stretch alone: no text widens a panel.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusPanel::setPanelText(const QString &text) {
    setText(text);
    updateTip();
    update();
}

void StatusPanel::setNote(const QString &note) {
    note_ = note;
    updateTip();
}

QRect StatusPanel::textRect() const {
    const int indent = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    return contentsRect().adjusted(indent, 0, -indent, 0);
}

QString StatusPanel::shownText() const {
    return fontMetrics().elidedText(text(), elide_, std::max(0, textRect().width()));
}

QSize StatusPanel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void StatusPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, textRect(), Qt::AlignLeft | Qt::AlignVCenter, palette(),
                          isEnabled(), shownText(), foregroundRole());
}

void StatusPanel::resizeEvent(QResizeEvent *event) {
    QLabel::resizeEvent(event);
    updateTip();
}

void StatusPanel::updateTip() {
    QStringList tip;
    if (shownText() != text())
        tip << text();
    if (!note_.isEmpty())
        tip << note_;
    setToolTip(tip.join(QLatin1Char('\n')));
}

} // namespace qv::app::qt
