#pragma once
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "trend/TrendModel.h"
#include "trend/TrendView.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QChart;
class QCheckBox;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;

namespace qv::trend::qt {

class TrendChartView;

/// What the trend window uses around it: dialogs, the clock, and the record log's text.
struct TrendServices {
    platform::FileDialogs &files;
    platform::MessageBoxes &messages;
    platform::Clock &clock;
    std::function<std::string()> recordLog;
};

/// The trend window: the readings of one unit against clock time, live from a model or from a
/// record log or record file opened into it, with the statistics of the shown range and of the
/// whole run, zoom, pan, follow mode, and export of the picture (PNG, SVG) and of the points
/// (CSV). Non-modal; closing it only hides it.
class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    TrendWindow(TrendModel &live, TrendServices services, QWidget *parent = nullptr);
    ~TrendWindow() override;

    /// Draws the shown data again now (it is otherwise redrawn soon after each change).
    void refresh();
    /// Statistics labels: row 0 the shown range, 1 the whole run; columns count, minimum,
    /// maximum, average, standard deviation, last.
    [[nodiscard]] QLabel *statisticsLabel(int row, int column) const;
    /// Points on the chart after decimation, and the readings they stand for.
    [[nodiscard]] std::size_t drawnPoints() const { return drawn_; }
    [[nodiscard]] std::size_t shownReadings() const { return shownReadings_; }
    [[nodiscard]] const TrendView &view() const { return view_; }
    [[nodiscard]] Range shownTime() const { return shownTime_; }

    /// The chart's mouse: zoom by a factor (below 1 zooms in) around a point of the plot's width
    /// (0 left, 1 right); pan by a share of the shown span; back to the whole run, following.
    void zoom(double factor, double at);
    void pan(double by);
    void resetView();

    void openRecordLog();
    void openRecordFile();
    void showLive();
    void resetRun();
    void exportPicture(bool svg);
    void exportPoints();

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void buildControls();
    void scheduleRefresh();
    void showOpened(std::unique_ptr<TrendModel> model, std::size_t readings, const QString &name);
    void updateUnits();
    void drawSeries(const std::string &unit, Range time);
    void showStatistics(const std::string &unit, Range time);
    [[nodiscard]] Range dataSpan() const;
    [[nodiscard]] std::string shownUnit() const;
    [[nodiscard]] std::optional<std::string> askSaveName(const std::string &filter,
                                                         const QString &suffix);
    void save(const std::string &path, const QByteArray &bytes);
    void tell(const QString &text);

    TrendModel &live_;
    TrendServices services_;
    std::unique_ptr<TrendModel> opened_;
    const TrendModel *shown_;
    TrendView view_;
    std::string chosenUnit_; ///< empty: the newest unit

    QChart *chart_ = nullptr;
    QDateTimeAxis *axisX_ = nullptr;
    QValueAxis *axisY_ = nullptr;
    std::vector<QLineSeries *> lines_; ///< one per unbroken run of points; extra ones empty
    TrendChartView *chartView_ = nullptr;
    QLabel *source_ = nullptr;
    QComboBox *units_ = nullptr;
    QCheckBox *follow_ = nullptr;
    QPushButton *reset_ = nullptr;
    std::array<std::array<QLabel *, 6>, 2> stats_{};
    bool refreshPending_ = false;
    std::size_t drawn_ = 0, shownReadings_ = 0;
    Range shownTime_;
};

} // namespace qv::trend::qt
