#include "trend/qt/TrendWindow.h"

#include "trend/Decimation.h"
#include "trend/TrendText.h"
#include "trend/qt/TrendChartView.h"

#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

namespace qv::trend::qt {
namespace {

QString qs(const std::string &s) {
    return QString::fromStdString(s);
}

QDateTime at(double seconds) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(seconds * 1000)));
}

constexpr std::array<const char *, 6> kColumns{"Count",   "Minimum",   "Maximum",
                                               "Average", "Std. dev.", "Last"};
constexpr std::array<const char *, 2> kRows{"Shown", "Whole run"};

} // namespace

TrendWindow::TrendWindow(TrendModel &live, TrendServices services, QWidget *parent)
    : QWidget(parent, Qt::Window), live_(live), services_(std::move(services)), shown_(&live) {
    setWindowTitle(QStringLiteral("Trend - QVLINK"));
    setObjectName(QStringLiteral("TrendWindow"));
    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 4, 4));
    axisX_ = new QDateTimeAxis;
    axisX_->setTickCount(6);
    axisY_ = new QValueAxis;
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    chartView_ = new TrendChartView(chart_, this);
    chartView_->onZoom = [this](double factor, double at) { zoom(factor, at); };
    chartView_->onPan = [this](double by) { pan(by); };
    chartView_->onReset = [this] { resetView(); };
    buildControls();
    source_->setText(QStringLiteral("Live readings"));
    live_.changed = [this] {
        if (shown_ == &live_ && isVisible())
            scheduleRefresh();
    };
    resize(760, 520);
    refresh();
}

TrendWindow::~TrendWindow() {
    live_.changed = nullptr;
}

void TrendWindow::buildControls() {
    auto *bar = new QHBoxLayout;
    const auto button = [this, bar](const char *text, void (TrendWindow::*slot)()) {
        auto *b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    button("Live", &TrendWindow::showLive);
    button("Record log", &TrendWindow::openRecordLog);
    button("Open file…", &TrendWindow::openRecordFile);
    source_ = new QLabel(this);
    bar->addWidget(source_, 1);
    bar->addWidget(new QLabel(QStringLiteral("Unit"), this));
    units_ = new QComboBox(this);
    units_->setMinimumContentsLength(8);
    connect(units_, &QComboBox::activated, this, [this](int index) {
        chosenUnit_ = index <= 0 ? std::string() : units_->itemText(index).toStdString();
        refresh();
    });
    bar->addWidget(units_);
    follow_ = new QCheckBox(QStringLiteral("Follow"), this);
    connect(follow_, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            view_.setFollow(true);
        else // the range shown now stays
            view_.pan(0, dataSpan());
        refresh();
    });
    bar->addWidget(follow_);
    reset_ = button("Reset", &TrendWindow::resetRun);
    auto *exports = new QToolButton(this);
    exports->setText(QStringLiteral("Export"));
    exports->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(exports);
    menu->addAction(QStringLiteral("Picture (PNG)…"), this, [this] { exportPicture(false); });
    menu->addAction(QStringLiteral("Picture (SVG)…"), this, [this] { exportPicture(true); });
    menu->addAction(QStringLiteral("Points (CSV)…"), this, [this] { exportPoints(); });
    exports->setMenu(menu);
    bar->addWidget(exports);

    auto *grid = new QGridLayout;
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        grid->addWidget(new QLabel(QString::fromUtf8(kColumns[c]), this), 0, int(c) + 1);
    for (std::size_t r = 0; r < kRows.size(); ++r) {
        grid->addWidget(new QLabel(QString::fromUtf8(kRows[r]), this), int(r) + 1, 0);
        for (std::size_t c = 0; c < kColumns.size(); ++c) {
            auto *label = new QLabel(this);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            label->setObjectName(QStringLiteral("stat_%1_%2").arg(r).arg(c));
            grid->addWidget(label, int(r) + 1, int(c) + 1);
            stats_[r][c] = label;
        }
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(chartView_, 1);
    layout->addLayout(grid);
}

QLabel *TrendWindow::statisticsLabel(int row, int column) const {
    if (row < 0 || row > 1 || column < 0 || column > 5)
        return nullptr;
    return stats_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
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
    showStatistics(unit, time);
    follow_->setChecked(view_.follow());
    reset_->setEnabled(shown_ == &live_);
}

void TrendWindow::updateUnits() {
    QStringList items{QStringLiteral("newest")};
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
    const QString format = QString::fromLatin1(timeLabelFormat(time.span()));
    if (axisX_->format() != format)
        axisX_->setFormat(format);
    axisX_->setRange(at(time.lo), at(time.hi));
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
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        lines_.push_back(series);
    }
    for (std::size_t i = 0; i < runs.size(); ++i)
        lines_[i]->replace(runs[i]);
}

void TrendWindow::showStatistics(const std::string &unit, Range time) {
    const auto timeText = [](double t) { return at(t).toString(QStringLiteral("HH:mm:ss")); };
    const QString u = unit.empty() ? QString() : QStringLiteral(" ") + qs(unit);
    const auto value = [&u](double v) { return qs(valueText(v)) + u; };
    const std::array<Statistics, 2> rows{shown_->within(unit, time), shown_->wholeRun(unit)};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Statistics &s = rows[r];
        std::array<QString, 6> texts{QString::number(s.count)};
        if (s.count > 0) {
            texts[1] = value(s.min) + QStringLiteral("\n") + timeText(s.minTime);
            texts[2] = value(s.max) + QStringLiteral("\n") + timeText(s.maxTime);
            texts[3] = value(s.mean);
            texts[4] = value(s.stddev);
            texts[5] = value(s.last) + QStringLiteral("\n") + timeText(s.lastTime);
        }
        for (std::size_t c = 0; c < texts.size(); ++c)
            stats_[r][c]->setText(texts[c]);
    }
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
    source_->setText(QStringLiteral("Live readings"));
    view_.reset();
    refresh();
}

void TrendWindow::resetRun() {
    if (shown_ != &live_)
        return;
    live_.clear();
    view_.reset();
    refresh();
}

void TrendWindow::showOpened(std::unique_ptr<TrendModel> model, std::size_t readings,
                             const QString &name) {
    if (readings == 0) {
        tell(QStringLiteral("%1 holds no timed readings.").arg(name));
        return;
    }
    opened_ = std::move(model);
    shown_ = opened_.get();
    source_->setText(name);
    view_.reset();
    refresh();
}

void TrendWindow::tell(const QString &text) {
    platform::Message m;
    m.text = text.toStdString();
    m.title = "Trend";
    m.warning = true;
    (void)services_.messages.show(m);
}

} // namespace qv::trend::qt
