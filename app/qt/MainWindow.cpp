#include "app/qt/MainWindow.h"

#include "app/Layout.h"
#include "app/qt/ElementBinding.h"
#include "app/qt/LogView.h"
#include "app/qt/MenuShortcutsFirst.h"
#include "app/qt/ScopeItems.h"
#include "app/qt/StatusPanel.h"
#include "app/qt/ToolbarIcons.h"
#include "app/qt/TwipsCanvas.h"
#include "files/WaveformFormat.h"
#include "lang/Retranslate.h"
#include "lang/ShownText.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <cmath>
#include <vector>

namespace qv::app::qt {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Twips of the form at its default size (one pixel is 15 twips at 96 dpi). The toolbar is the
// top 420 twips of the form; the widgets below it are placed relative to the area under it.
constexpr double kToolbarTwips = 420;
constexpr double kFormWidth = 9135;
constexpr double kFormBottom = 6000;

struct Placement {
    double left, top, width, height;
};
constexpr Placement kText1{120, 480, 5535, 285};
constexpr Placement kPicture1{120, 840, 5530, 5055};
constexpr Placement kPicture2{5760, 480, 3255, 1335};
constexpr Placement kLog{5760, 1920, 3255, 3975};

int px(double twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}

/// The fixed-pitch font in which a timed log line ("  14:03:27    -0.012 mV  AC") fits the log
/// box of this width beside its vertical scroll bar, at most the system's size.
QFont logFont(int boxWidth) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QString line(30, QLatin1Char('0'));
    const int room = boxWidth - 24; // frame and vertical scroll bar
    for (double size = font.pointSizeF(); size > 6; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).horizontalAdvance(line) <= room)
            break;
    }
    return font;
}

} // namespace

MainWindow::MainWindow(Program &program, QWidget *parent)
    : QMainWindow(parent), program_(program), texts_(new lang::Retranslate(this)) {
    buildMenus();
    buildToolbar();
    buildForm();
    buildStatusBar();
    addLogEditItem();
    measurements_ = addScopeItems(*this, program_, actions_);
    bindWindowTitle(this, program_.form().el.caption);
    QList<QKeySequence> shortcuts;
    for (const auto &[name, action] : actions_)
        if (!action->shortcut().isEmpty())
            shortcuts.append(action->shortcut());
    auto *shortcutsFirst = new MenuShortcutsFirst(shortcuts, this);
    title_->installEventFilter(shortcutsFirst);
    log_->installEventFilter(shortcutsFirst);
    program_.form().call.LiveReading = [this](double t, const std::string &reading) {
        trend_.add(t, reading);
    };
    program_.openTrend = [this] { showTrend(); };

    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, [this] { program_.Timer1_Timer(); });
    common::Control &timer = program_.form().el.Timer1;
    const auto runTimer = [this, &timer] {
        if (timer.enabled() && !timer_.isActive())
            timer_.start();
        else if (!timer.enabled())
            timer_.stop();
    };
    timer.subscribe(runTimer);
    runTimer();
}

QAction *MainWindow::action(const std::string &name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::buildMenus() {
    common::Elements &el = program_.form().el;
    QMenu *top = nullptr;
    QMenu *sub = nullptr;
    for (const MenuSpec &entry : menuTree()) {
        const std::string name(entry.name);
        if (entry.depth == 0) {
            top = menuBar()->addMenu(QString());
            actions_[name] = top->menuAction();
            keepCaption(top->menuAction(), entry.caption);
            if (common::Control *c = menuElement(el, entry.name))
                bindEnabled(top->menuAction(), *c);
            sub = nullptr;
            continue;
        }
        QMenu *parent = entry.depth == 2 && sub ? sub : top;
        if (!parent)
            continue;
        if (entry.caption == "-") {
            parent->addSeparator();
            continue;
        }
        const bool isSubmenu =
            name == "mnuFFTwindow" || name == "mnuFFTdisplay" || name == "mnuExport";
        if (isSubmenu) {
            sub = parent->addMenu(QString());
            actions_[name] = sub->menuAction();
            keepCaption(sub->menuAction(), entry.caption);
            if (common::Control *c = menuElement(el, entry.name))
                bindEnabled(sub->menuAction(), *c);
            continue;
        }
        if (entry.depth == 1)
            sub = nullptr;
        QAction *a = parent->addAction(QString());
        keepCaption(a, entry.caption);
        if (!entry.shortcut.empty())
            a->setShortcut(QKeySequence(qs(entry.shortcut)));
        actions_[name] = a;
        if (common::Control *c = menuElement(el, entry.name))
            bindMenuItem(a, *c, [this, name] { program_.commands().clickMenu(name); });
    }
    // Each port item tells which device stands behind it, as it is when the menu opens.
    const auto showDevices = [this] {
        for (int n = 1; n <= 8; ++n)
            if (QAction *a = action("mnuCOM" + std::to_string(n)))
                a->setStatusTip(qs(program_.form().os.port.deviceName(n)));
    };
    showDevices();
    if (QAction *comm = action("mnuComm"))
        connect(comm->menu(), &QMenu::aboutToShow, this, showDevices);
    if (QAction *file = action("mnuFile"))
        connect(file->menu(), &QMenu::aboutToShow, this,
                [this] { program_.exports().updateItems(); });
}

void MainWindow::keepCaption(QAction *a, std::string_view caption) {
    texts_->keep([a, caption] { a->setText(lang::shownText(caption)); });
}

void MainWindow::addLogEditItem() {
    QAction *edit = action("mnuEdit");
    if (!edit)
        return;
    edit->menu()->addSeparator();
    QAction *a = edit->menu()->addAction(QString());
    texts_->keep([a] { a->setText(tr("编辑记录…")); });
    a->setShortcut(LogView::kEditKey);
    a->setEnabled(log_->isEnabled());
    actions_["editLog"] = a;
    connect(a, &QAction::triggered, log_, &LogView::edit);
    log_->enabledChanged = [a](bool on) { a->setEnabled(on); };
}

void MainWindow::buildToolbar() {
    QToolBar *bar = addToolBar(QStringLiteral("Toolbar1"));
    bar->setObjectName(QStringLiteral("Toolbar1"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    common::Elements &el = program_.form().el;
    for (const ButtonSpec &entry : toolbarButtons()) {
        if (entry.separatorBefore)
            bar->addSeparator();
        QAction *a = bar->addAction(toolbarIcon(entry.key), QString());
        texts_->keep([a, tip = entry.tip] {
            a->setText(lang::shownText(tip));
            a->setToolTip(lang::shownText(tip));
        });
        const std::string key(entry.key);
        actions_["button:" + key] = a;
        bindButton(a, el.*(entry.element), entry.style != ButtonStyle::Push,
                   [this, key] { program_.commands().pressButton(key); });
    }
}

void MainWindow::buildForm() {
    common::Form &form = program_.form();
    form_ = new QWidget(this);
    setCentralWidget(form_);

    title_ = new QLineEdit(form_);
    texts_->keep([this] { title_->setToolTip(tr("波形注释")); });
    // A saved title must read back: the waveform file takes lines of at most 4096 bytes.
    title_->setMaxLength(files::WaveformFormat::kMaxTitleChars);
    bindLineEdit(title_, form.el.Text1);

    scope_ = new TwipsCanvas(form.el.Picture1, kPicture1.width, kPicture1.height, form_);
    texts_->keep([this] { scope_->setToolTip(tr("DSO窗口")); });
    scope_->acceptsMouse = [&form] { return form.el.Picture1Mouse.enabled(); };
    scope_->acceptsDrops = [&form] { return form.el.Picture1Drops.checked(); };
    scope_->onMouseDown = [this](int button, int shift, double x, double y) {
        program_.Picture1_MouseDown(button, shift, x, y);
    };
    scope_->onDrop = [this](const std::vector<std::string> &paths) {
        program_.Picture1_OLEDragDrop(paths);
    };

    digits_ = new TwipsCanvas(form.el.Picture2, kPicture2.width, kPicture2.height, form_);
    texts_->keep([this] { digits_->setToolTip(tr("DMM数字窗口")); });

    log_ = new LogView(form.el.RichTextBox1, form_);
    texts_->keep([this] { log_->setToolTip(tr("DMM记录窗口")); });
    log_->setFont(logFont(px(kLog.width)));
    // The meter pads its text with blanks: trailing blanks hang at the edge instead of widening
    // the line, and a line still too long wraps: the log view has no horizontal scroll bar.
    bindLog(log_, form.el.RichTextBox1);
    log_->ctrlCTaken = [&form] { return form.el.mnuCopy.enabled(); };

    form_->setMinimumSize(px(kFormWidth), px(kFormBottom - kToolbarTwips));
    resize(px(kFormWidth), px(kFormBottom) + 40);
}

void MainWindow::buildStatusBar() {
    common::Elements &el = program_.form().el;
    // Room is shared in proportion to the panels' laid-out widths (3500, 2000, 2200 and 1440
    // twips) whatever their texts: a text too long for its panel is elided, never drawn over
    // the next panel.
    const int stretch[] = {35, 20, 22, 14};
    for (std::size_t i = 0; i < el.panel.size(); ++i) {
        auto *panel = new StatusPanel(this);
        if (i == 3) // "帧 37/100, 10:15:03" keeps the frame's place, its time in the tool tip
            panel->setElideMode(Qt::ElideRight);
        statusBar()->addWidget(panel, stretch[i]);
        common::TextControl &text = el.panel[i];
        const auto show = [panel, &text] { panel->setPanelText(lang::shownText(text.text())); };
        text.subscribe(show);
        texts_->keep(show);
        if (i != 0)
            continue;
        // What happened to the link (and the broker), and why.
        panelOne_ = panel;
        el.linkNote.subscribe([this] { showPanelOneTip(); });
        texts_->keep([this] { showPanelOneTip(); });
    }
    statusBar()->setSizeGripEnabled(true);
}

void MainWindow::setBrokerNote(const QString &note) {
    brokerNote_ = note;
    showPanelOneTip();
}

void MainWindow::showPanelOneTip() {
    const QString link = lang::shownText(program_.form().el.linkNote.text());
    panelOne_->setNote(brokerNote_.isEmpty() || link.isEmpty()
                           ? link + brokerNote_
                           : link + QLatin1Char('\n') + brokerNote_);
}

void MainWindow::showTrend() {
    if (!trendWindow_) {
        common::Form &form = program_.form();
        trend::qt::TrendServices services{form.os.files,
                                          form.os.messages,
                                          form.os.clock,
                                          [&form] { return form.el.RichTextBox1.text(); },
                                          [&form] { return form.v.MeterModelName; },
                                          places_};
        trendWindow_ = std::make_unique<trend::qt::TrendWindow>(trend_, services, this);
        trendWindow_->place();
    }
    trendWindow_->show();
    trendWindow_->raise();
    trendWindow_->activateWindow();
}

void MainWindow::whenShown(std::function<void()> f) {
    if (painted_)
        QTimer::singleShot(0, this, std::move(f));
    else
        whenShown_.push_back(std::move(f));
}

void MainWindow::paintEvent(QPaintEvent *event) {
    QMainWindow::paintEvent(event);
    if (painted_)
        return;
    painted_ = true;
    for (auto &f : whenShown_)
        QTimer::singleShot(0, this, std::move(f));
    whenShown_.clear();
}

void MainWindow::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    layoutForm();
}

void MainWindow::layoutForm() {
    if (!form_)
        return;
    // Growth beyond the default size goes to the scope screen and the log, in proportion to
    // their widths; their heights take all extra height.
    const double extraW = std::max(0.0, form_->width() * 15.0 - kFormWidth);
    const double extraH = std::max(0.0, form_->height() * 15.0 - (kFormBottom - kToolbarTwips));
    const double leftShare = kPicture1.width / (kPicture1.width + kPicture2.width);
    const double leftExtra = extraW * leftShare;
    const double rightExtra = extraW - leftExtra;
    const auto place = [](QWidget *w, double left, double top, double width, double height) {
        w->setGeometry(px(left), px(top - kToolbarTwips), px(width), px(height));
    };
    place(title_, kText1.left, kText1.top, kText1.width + leftExtra, kText1.height);
    place(scope_, kPicture1.left, kPicture1.top, kPicture1.width + leftExtra,
          kPicture1.height + extraH);
    place(digits_, kPicture2.left + leftExtra, kPicture2.top, kPicture2.width + rightExtra,
          kPicture2.height);
    place(log_, kLog.left + leftExtra, kLog.top, kLog.width + rightExtra, kLog.height + extraH);
}

} // namespace qv::app::qt
