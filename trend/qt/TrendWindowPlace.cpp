// Where the trend window opens: where it was left, else beside the main window.
#include "trend/TrendPlacement.h"
#include "trend/qt/TrendWindow.h"

#include <QScreen>

namespace qv::trend::qt {
namespace {

constexpr const char *kName = "trend";

WindowPlace placeOf(const QRect &r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

void TrendWindow::place() {
    const QWidget *main = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = main ? main->screen() : this->screen();
    if (!main || !screen)
        return;
    const QRect free = screen->availableGeometry();
    const WindowPlace mainFrame = placeOf(main->frameGeometry());
    // This window's frame is not known before it is shown: it is taken to be the main window's.
    const QRect client = main->geometry(), frame = main->frameGeometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    const auto recalled = services_.places ? services_.places->recall(kName) : std::nullopt;
    const auto kept = recalled ? remembered(*recalled, mainFrame, placeOf(free)) : std::nullopt;
    const int frameWidth = margins.left() + margins.right();
    const int frameHeight = margins.top() + margins.bottom();
    const QSize least = minimumSizeHint();
    const WindowPlace to =
        kept ? *kept
             : besideMain(mainFrame, placeOf(free), width() + frameWidth, height() + frameHeight,
                          least.width() + frameWidth, least.height() + frameHeight);
    setGeometry(QRect(to.x, to.y, to.width, to.height).marginsRemoved(margins));
}

void TrendWindow::rememberPlace() {
    if (services_.places)
        services_.places->remember(kName, placeOf(frameGeometry()));
}

void TrendWindow::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    rememberPlace();
}

} // namespace qv::trend::qt
