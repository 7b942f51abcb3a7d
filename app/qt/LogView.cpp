#include "app/qt/LogView.h"

#include "app/qt/LogEditor.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <memory>

namespace qv::app::qt {
namespace {

constexpr int kMargin = 4; // as a plain-text editor's document margin

QString fromUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

/// The trailing blanks hang at the edge: they never make a line wrap.
qsizetype trimmedLength(const QString &line) {
    qsizetype n = line.size();
    while (n > 0 && line[n - 1] == QLatin1Char(' '))
        --n;
    return n;
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

/// The byte length of the first `chars` characters of a line.
std::size_t bytesOf(const QString &line, qsizetype chars) {
    return static_cast<std::size_t>(line.left(chars).toUtf8().size());
}

/// The character index at a byte offset of a line.
qsizetype charsOf(std::string_view line, std::size_t bytes) {
    return fromUtf8(line.substr(0, std::min(bytes, line.size()))).size();
}

} // namespace

LogView::LogView(const common::LogControl &log, QWidget *parent)
    : QAbstractScrollArea(parent), log_(log) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    reset();
}

void LogView::reset() {
    lines_.reset(text());
    anchor_ = caret_ = 0;
    layoutRows(0);
    updateScrollBar();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void LogView::grew() {
    const std::size_t last = lines_.count() - 1; // the old last line may have grown too
    lines_.grew(text());
    layoutRows(last);
    updateScrollBar();
    viewport()->update();
}

void LogView::scrollToEnd() {
    caret_ = anchor_ = text().size();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

int LogView::textWidth() const {
    return std::max(1, viewport()->width() - 2 * kMargin);
}

QString LogView::lineText(std::size_t i) const {
    return fromUtf8(lines_.line(text(), i));
}

std::vector<int> LogView::rowStarts(const QString &line) const {
    std::vector<int> starts{0};
    const QFontMetrics fm = fontMetrics();
    const int width = textWidth();
    const qsizetype n = trimmedLength(line);
    if (fm.horizontalAdvance(line.left(n)) <= width)
        return starts;
    int x = 0;
    qsizetype lastBlank = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const int w = fm.horizontalAdvance(line[i]);
        if (x + w > width && i > starts.back()) {
            const qsizetype at = lastBlank >= starts.back() ? lastBlank + 1 : i;
            starts.push_back(static_cast<int>(at));
            x = fm.horizontalAdvance(line.mid(at, i - at));
            lastBlank = -1;
        }
        x += w;
        if (line[i] == QLatin1Char(' '))
            lastBlank = i;
    }
    return starts;
}

int LogView::rowsOfLine(std::size_t i) const {
    return static_cast<int>(firstRow_[i + 1] - firstRow_[i]);
}

void LogView::layoutRows(std::size_t fromLine) {
    const std::size_t count = lines_.count();
    firstRow_.resize(count + 1);
    fromLine = std::min(fromLine, count - 1);
    if (fromLine == 0)
        firstRow_[0] = 0;
    // Fixed-pitch ASCII lines are measured by their length; only other lines are shaped.
    const bool fixed = QFontInfo(font()).fixedPitch();
    const int advance = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int width = textWidth();
    for (std::size_t i = fromLine; i < count; ++i) {
        std::string_view line = lines_.line(text(), i);
        while (!line.empty() && line.back() == ' ')
            line.remove_suffix(1);
        std::size_t rows = 1;
        if (!fixed || !isAscii(line) || static_cast<qsizetype>(line.size()) * advance > width)
            rows = rowStarts(fromUtf8(line)).size();
        firstRow_[i + 1] = firstRow_[i] + rows;
    }
}

std::size_t LogView::totalRows() const {
    return firstRow_.back();
}

std::size_t LogView::lineOfRow(std::size_t row) const {
    const auto after = std::upper_bound(firstRow_.begin(), firstRow_.end() - 1, row);
    return static_cast<std::size_t>(after - firstRow_.begin()) - 1;
}

void LogView::updateScrollBar() {
    const int page = std::max(1, (viewport()->height() - kMargin) / fontMetrics().lineSpacing());
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, static_cast<int>(std::max<std::size_t>(totalRows(), page) - page));
    bar->setPageStep(page);
    bar->setSingleStep(1);
}

void LogView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    const QFontMetrics fm = fontMetrics();
    const QPalette &pal = palette();
    const std::size_t selFrom = std::min(anchor_, caret_), selTo = std::max(anchor_, caret_);
    const auto top = static_cast<std::size_t>(verticalScrollBar()->value());
    const int height = viewport()->height();
    std::size_t row = top;
    for (int y = kMargin; y < height && row < totalRows();) {
        const std::size_t line = lineOfRow(row);
        const QString textOfLine = lineText(line);
        const std::vector<int> starts = rowStarts(textOfLine);
        const std::size_t lineStart = lines_.start(line);
        const std::string_view bytes = lines_.line(text(), line);
        // The selected characters of this line.
        qsizetype selA = 0, selB = 0;
        if (selFrom < selTo && selFrom <= lineStart + bytes.size() && selTo > lineStart) {
            selA = selFrom > lineStart ? charsOf(bytes, selFrom - lineStart) : 0;
            selB = charsOf(bytes, selTo - lineStart);
        }
        // The caret shows while the box has the keyboard and nothing is selected.
        qsizetype caretChar = -1;
        if (hasFocus() && anchor_ == caret_ && caret_ >= lineStart &&
            caret_ <= lineStart + bytes.size())
            caretChar = charsOf(bytes, caret_ - lineStart);
        for (std::size_t r = row - firstRow_[line]; r < starts.size() && y < height; ++r) {
            const qsizetype from = starts[r];
            const qsizetype to = r + 1 < starts.size() ? starts[r + 1] : textOfLine.size();
            painter.setPen(pal.color(QPalette::Text));
            painter.drawText(kMargin, y + fm.ascent(), textOfLine.mid(from, to - from));
            const bool lastRow = r + 1 == starts.size();
            if (caretChar >= from && (caretChar < to || lastRow)) {
                const int x =
                    kMargin + fm.horizontalAdvance(textOfLine.mid(from, caretChar - from));
                painter.fillRect(x, y, 1, fm.lineSpacing(), pal.color(QPalette::Text));
            }
            const qsizetype a = std::max(selA, from), b = std::min(selB, to);
            if (a < b) {
                const int x = kMargin + fm.horizontalAdvance(textOfLine.mid(from, a - from));
                const QString part = textOfLine.mid(a, b - a);
                painter.fillRect(x, y, fm.horizontalAdvance(part), fm.lineSpacing(),
                                 pal.color(QPalette::Highlight));
                painter.setPen(pal.color(QPalette::HighlightedText));
                painter.drawText(x, y + fm.ascent(), part);
            }
            y += fm.lineSpacing();
            ++row;
        }
    }
}

std::size_t LogView::offsetAt(QPoint point) const {
    const QFontMetrics fm = fontMetrics();
    const int y = std::max(0, point.y() - kMargin) / fm.lineSpacing();
    const std::size_t row = std::min(static_cast<std::size_t>(verticalScrollBar()->value()) +
                                         static_cast<std::size_t>(y),
                                     totalRows() - 1);
    const std::size_t line = lineOfRow(row);
    const QString textOfLine = lineText(line);
    const std::vector<int> starts = rowStarts(textOfLine);
    const std::size_t r = row - firstRow_[line];
    const qsizetype from = starts[r];
    const qsizetype to = r + 1 < starts.size() ? starts[r + 1] : textOfLine.size();
    qsizetype at = from;
    for (int x = kMargin; at < to; ++at) {
        const int w = fm.horizontalAdvance(textOfLine[at]);
        if (point.x() < x + w / 2)
            break;
        x += w;
    }
    return lines_.start(line) + bytesOf(textOfLine, at);
}

QString LogView::selectedText() const {
    const std::size_t from = std::min(anchor_, caret_), to = std::max(anchor_, caret_);
    QString out = fromUtf8(text().substr(std::min(from, text().size()), to - from));
    out.remove(QLatin1Char('\r'));
    return out;
}

void LogView::selectAll() {
    anchor_ = 0;
    caret_ = text().size();
    viewport()->update();
}

void LogView::copy() const {
    if (anchor_ != caret_)
        QGuiApplication::clipboard()->setText(selectedText());
}

void LogView::edit() {
    if (editor_ != nullptr) {
        editor_->raise();
        return;
    }
    QString shown = fromUtf8(text());
    shown.remove(QLatin1Char('\r'));
    const auto caretLine = static_cast<int>(lines_.lineAt(std::min(caret_, text().size())));
    auto *editor = new LogEditor(shown, caretLine, font(), this);
    editor_ = editor;
    editor->resize(std::max(360, width() * 2), std::max(300, height()));
    // Lines the record timer adds while the editor is open follow the edited text.
    auto before = std::make_shared<std::string>(text());
    connect(editor, &QDialog::accepted, this, [this, editor, before] {
        QString typed = editor->text();
        typed.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        std::string result = typed.toStdString();
        const std::string_view now = text();
        if (now.size() > before->size() && now.starts_with(*before)) {
            if (!result.empty() && result.back() != '\n')
                result += "\r\n";
            result += now.substr(before->size());
        }
        const int at = verticalScrollBar()->value();
        if (edited)
            edited(std::move(result));
        reset();
        verticalScrollBar()->setValue(at);
    });
    connect(editor, &QDialog::finished, this, [this] {
        editor_->deleteLater();
        editor_ = nullptr;
    });
    editor->open();
}

void LogView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum() &&
                       verticalScrollBar()->value() > 0;
    layoutRows(0);
    updateScrollBar();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogView::focusInEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void LogView::focusOutEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void LogView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    caret_ = offsetAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        anchor_ = caret_;
    viewport()->update();
}

void LogView::mouseMoveEvent(QMouseEvent *event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    caret_ = offsetAt(event->position().toPoint());
    viewport()->update();
}

void LogView::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    anchor_ = caret_ = offsetAt(event->position().toPoint()); // the editor opens on this line
    edit();
}

void LogView::keyPressEvent(QKeyEvent *event) {
    const QKeyCombination key = event->keyCombination();
    if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_A))
        return selectAll();
    // Ctrl+C reaches the box only while no window command takes it (Copy is disabled).
    if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_Insert) ||
        event->matches(QKeySequence::Copy))
        return copy();
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_F2)
        return edit();
    if (key.key() == Qt::Key_Home && (key.keyboardModifiers() & Qt::ControlModifier))
        return verticalScrollBar()->setValue(0);
    if (key.key() == Qt::Key_End && (key.keyboardModifiers() & Qt::ControlModifier))
        return scrollToEnd();
    QAbstractScrollArea::keyPressEvent(event);
}

void LogView::changeEvent(QEvent *event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        layoutRows(0);
        updateScrollBar();
    }
    if (event->type() == QEvent::EnabledChange && enabledChanged)
        enabledChanged(isEnabled());
}

std::unique_ptr<QMenu> LogView::contextMenu() {
    // Each item names the key that does the same here: Ctrl+C while no window command takes it.
    const auto withKey = [](const QString &text, const QKeySequence &key) {
        return text + QLatin1Char('\t') + key.toString(QKeySequence::NativeText);
    };
    const bool ctrlC = !(ctrlCTaken && ctrlCTaken());
    const QKeySequence copyKey = ctrlC ? QKeySequence(QKeySequence::Copy)
                                       : QKeySequence(Qt::ControlModifier | Qt::Key_Insert);
    auto menu = std::make_unique<QMenu>(this);
    QAction *copyItem = menu->addAction(withKey(tr("复制"), copyKey), this, &LogView::copy);
    copyItem->setEnabled(anchor_ != caret_);
    menu->addAction(withKey(tr("全选"), QKeySequence::SelectAll), this, &LogView::selectAll);
    menu->addSeparator();
    menu->addAction(withKey(tr("编辑…"), kEditKey), this, &LogView::edit);
    return menu;
}

void LogView::contextMenuEvent(QContextMenuEvent *event) {
    contextMenu()->exec(event->globalPos());
}

} // namespace qv::app::qt
