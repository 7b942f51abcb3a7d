#include "trend/qt/TrendWindow.h"

#include "lang/Retranslate.h"
#include "trend/Decimation.h"
#include "trend/TrendText.h"
#include "trend/qt/TrendChartView.h"
#include "trend/qt/TrendStatisticsTable.h"
#include "trend/qt/TrendTimeAxis.h"

#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace qv::trend::qt {
namespace {

QString qs(const std::string &s) {
    return QString::fromStdString(s);
}

} // namespace

TrendWindow::TrendWindow(TrendModel &live, TrendServices services, QWidget *parent)
    : QWidget(parent, Qt::Window), live_(live), services_(std::move(services)), shown_(&live),
      texts_(new lang::Retranslate(this)) {
    texts_->keep([this] { setWindowTitle(tr("趋势 - QVLINK")); });
    setObjectName(QStringLiteral("TrendWindow"));
    chart_ = new QChart;
    chart_->legend()->hide();
    // Room on the right for half of a label at the right edge.
    chart_->setMargins(
        QMargins(4, 4, fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.0")) / 2, 4));
    axisX_ = std::make_unique<TrendTimeAxis>();
    axisY_ = new QValueAxis;
    chart_->addAxis(axisX_->axis(), Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    chartView_ = new TrendChartView(chart_, this);
    chartView_->onZoom = [this](double factor, double at) { zoom(factor, at); };
    chartView_->onPan = [this](double by) { pan(by); };
    chartView_->onReset = [this] { resetView(); };
    chartView_->onHover = [this](double at, QPoint global) {
        QToolTip::showText(global, pointTip(at), chartView_);
    };
    buildControls();
    showSource(tr("实时读数"));
    texts_->keep([this] {
        if (shown_ == &live_)
            showSource(tr("实时读数"));
        else if (recordLogShown_)
            showSource(tr("记录窗口"));
        if (units_->count() > 0) // the first unit item: the newest reading's unit
            units_->setItemText(0, tr("最新"));
    });
    live_.changed = [this] {
        if (shown_ == &live_ && isVisible())
            scheduleRefresh();
    };
    resize(760, 520);
    refresh();
}

TrendWindow::~TrendWindow() {
    live_.changed = nullptr;
    if (isVisible())
        rememberPlace();
}

void TrendWindow::buildControls() {
    // A tool bar: what does not fit a narrow window (a large font, a small screen) stays at hand
    // behind the bar's extension button.
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Each text follows the language: marked here, translated where it is set.
    const auto keep = [this](auto *item, const char *text) {
        texts_->keep([item, text] { item->setText(tr(text)); });
    };
    const auto button = [this, bar, keep](const char *text, void (TrendWindow::*slot)()) {
        QAction *a = bar->addAction(QString(), this, slot);
        keep(a, text);
        return a;
    };
    button(QT_TR_NOOP("实时"), &TrendWindow::showLive);
    button(QT_TR_NOOP("记录窗口"), &TrendWindow::openRecordLog);
    button(QT_TR_NOOP("打开文件…"), &TrendWindow::openRecordFile);
    source_ = new QLabel(this);
    source_->setContentsMargins(6, 0, 6, 0);
    bar->addWidget(source_);
    auto *unitLabel = new QLabel(this);
    texts_->keep([unitLabel] { unitLabel->setText(tr("单位") + QLatin1Char(' ')); });
    bar->addWidget(unitLabel);
    units_ = new QComboBox(this);
    units_->setMinimumContentsLength(6);
    units_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(units_, &QComboBox::activated, this, [this](int index) {
        chosenUnit_ = index <= 0 ? std::string() : units_->itemText(index).toStdString();
        refresh();
    });
    bar->addWidget(units_);
    follow_ = new QCheckBox(this);
    keep(follow_, QT_TR_NOOP("跟随"));
    connect(follow_, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            view_.setFollow(true);
        else // the range shown now stays
            view_.pan(0, dataSpan());
        refresh();
    });
    bar->addWidget(follow_);
    reset_ = button(QT_TR_NOOP("清除"), &TrendWindow::resetRun);
    auto *menu = new QMenu(this);
    keep(menu->addAction(QString(), this, [this] { exportPicture(false); }),
         QT_TR_NOOP("图片 (PNG)…"));
    keep(menu->addAction(QString(), this, [this] { exportPicture(true); }),
         QT_TR_NOOP("图片 (SVG)…"));
    keep(menu->addAction(QString(), this, [this] { exportPoints(); }), QT_TR_NOOP("数据点 (CSV)…"));
    QAction *exports = bar->addAction(QString());
    keep(exports, QT_TR_NOOP("导出"));
    exports->setMenu(menu);
    if (auto *b = qobject_cast<QToolButton *>(bar->widgetForAction(exports)))
        b->setPopupMode(QToolButton::InstantPopup);

    statistics_ = new TrendStatisticsTable(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(chartView_, 1);
    layout->addWidget(statistics_);
}

void TrendWindow::showSource(const QString &name) {
    // A long file name is shortened in the middle; the whole name is the tool tip.
    const int room = source_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24;
    source_->setText(source_->fontMetrics().elidedText(name, Qt::ElideMiddle, room));
    source_->setToolTip(name);
}

QLabel *TrendWindow::statisticsLabel(int row, int column) const {
    return statistics_->label(row, column);
}

QStringList TrendWindow::timeLabels() const {
    return axisX_->axis()->categoriesLabels();
}

void TrendWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    refresh(); // readings that came while it was hidden
}

void TrendWindow::scheduleRefresh() {
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_)
            refresh();
    });
}

Range TrendWindow::dataSpan() const {
    if (shown_->pointCount() == 0) {
        const double now = services_.clock.now();
        return {now, now};
    }
    return shown_->timeSpan();
}

std::string TrendWindow::shownUnit() const {
    const std::vector<std::string> units = shown_->units();
    if (!chosenUnit_.empty() && std::find(units.begin(), units.end(), chosenUnit_) != units.end())
        return chosenUnit_;
    return shown_->newestUnit();
}

void TrendWindow::refresh() {
    refreshPending_ = false;
    updateUnits();
    const std::string unit = shownUnit();
    const Range time = view_.time(dataSpan());
    shownTime_ = time;
    drawSeries(unit, time);
    statistics_->fill({shown_->within(unit, time), shown_->wholeRun(unit)}, unit);
    follow_->setChecked(view_.follow());
    reset_->setEnabled(shown_ == &live_);
}

void TrendWindow::updateUnits() {
    QStringList items{tr("最新")};
    for (const std::string &u : shown_->units())
        items << qs(u);
    QStringList present;
    for (int i = 0; i < units_->count(); ++i)
        present << units_->itemText(i);
    if (present != items) {
        units_->clear();
        units_->addItems(items);
    }
    const int index = chosenUnit_.empty() ? 0 : units_->findText(qs(chosenUnit_));
    units_->setCurrentIndex(std::max(index, 0));
}

void TrendWindow::drawSeries(const std::string &unit, Range time) {
    const int columns = std::max(100, static_cast<int>(chart_->plotArea().width()));
    std::vector<QList<QPointF>> runs; // unbroken runs of points, in chart coordinates
    std::vector<Point> inside;
    drawn_ = 0;
    shownReadings_ = 0;
    for (const Series &s : shown_->series()) {
        if (s.unit != unit)
            continue;
        shownReadings_ += pointsIn(s.points, time).size();
        const std::vector<Point> points = decimate(s.points, time, columns);
        drawn_ += points.size();
        runs.emplace_back();
        for (const Point &p : points) {
            if (p.isGap()) {
                if (!runs.back().isEmpty())
                    runs.emplace_back();
                continue;
            }
            runs.back().append(QPointF(p.t * 1000.0, p.v));
            if (time.contains(p.t))
                inside.push_back(p);
        }
        if (runs.back().isEmpty())
            runs.pop_back();
    }
    // Every change of a series' points or of an axis lays out the series' lines again: the lines
    // are emptied before the axes change and filled once after.
    for (QLineSeries *line : lines_)
        if (line->count() > 0)
            line->clear();
    axisX_->show(time, chart_->plotArea().width());
    // The value axis keeps its scale while the readings fill more than half of it.
    const Range values = valueRange(inside).value_or(Range{0, 1});
    const Range axis{axisY_->min(), axisY_->max()};
    if (!axis.contains(values.lo) || !axis.contains(values.hi) || values.span() < axis.span() / 2) {
        axisY_->setRange(values.lo, values.hi);
        axisY_->applyNiceNumbers();
    }
    if (axisY_->titleText() != qs(unit))
        axisY_->setTitleText(qs(unit));
    while (lines_.size() < runs.size()) {
        auto *series = new QLineSeries;
        QPen pen(QColor(0, 110, 200), 1);
        pen.setCosmetic(true); // the fast path of thin lines, at any scale
        series->setPen(pen);
        chart_->addSeries(series);
        series->attachAxis(axisX_->axis());
        series->attachAxis(axisY_);
        lines_.push_back(series);
    }
    for (std::size_t i = 0; i < runs.size(); ++i)
        lines_[i]->replace(runs[i]);
}

QString TrendWindow::pointTip(double at) const {
    // The reading nearest in time, within eight pixel columns of the plot.
    const double t = shownTime_.lo + at * shownTime_.span();
    const double near = shownTime_.span() / std::max(1.0, chart_->plotArea().width()) * 8;
    const std::string unit = shownUnit();
    const Point *best = nullptr;
    for (const Series &s : shown_->series()) {
        if (s.unit != unit)
            continue;
        for (const Point &p : pointsIn(s.points, {t - near, t + near}))
            if (!p.isGap() && (!best || std::abs(p.t - t) < std::abs(best->t - t)))
                best = &p;
    }
    if (!best)
        return {};
    return QDateTime::fromMSecsSinceEpoch(std::llround(best->t * 1000))
               .toString(QStringLiteral("HH:mm:ss")) +
           QStringLiteral("  ") + qs(valueText(best->v, best->decimals)) +
           (unit.empty() ? QString() : QStringLiteral(" ") + qs(unit));
}

void TrendWindow::zoom(double factor, double at) {
    view_.zoom(factor, shownTime_.lo + at * shownTime_.span(), dataSpan());
    refresh();
}

void TrendWindow::pan(double by) {
    view_.pan(by * shownTime_.span(), dataSpan());
    refresh();
}

void TrendWindow::resetView() {
    view_.reset();
    refresh();
}

void TrendWindow::showLive() {
    opened_.reset();
    shown_ = &live_;
    openedModel_.clear();
    showSource(tr("实时读数"));
    view_.reset();
    refresh();
}

void TrendWindow::resetRun() {
    if (shown_ != &live_)
        return;
    if (const std::size_t n = live_.readingCount(); n > 0) {
        platform::Message m;
        m.text = tr("清除趋势中的 %1 个读数?").arg(n).toStdString();
        m.title = tr("趋势").toStdString();
        m.buttons = platform::Buttons::OkCancel;
        m.defaultButton = platform::Answer::Cancel;
        if (services_.messages.show(m) != platform::Answer::Ok)
            return;
    }
    live_.clear();
    view_.reset();
    refresh();
}

void TrendWindow::showOpened(std::unique_ptr<TrendModel> model, std::size_t readings,
                             const QString &name, std::string meterModel) {
    if (readings == 0) {
        tell(tr("%1 中没有带时间的读数。").arg(name));
        return;
    }
    opened_ = std::move(model);
    shown_ = opened_.get();
    openedModel_ = std::move(meterModel);
    recordLogShown_ = false;
    showSource(name);
    view_.reset();
    refresh();
}

void TrendWindow::tell(const QString &text) {
    platform::Message m;
    m.text = text.toStdString();
    m.title = tr("趋势").toStdString();
    m.warning = true;
    (void)services_.messages.show(m);
}

} // namespace qv::trend::qt
