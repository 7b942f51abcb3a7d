#pragma once
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/WindowPlaces.h"
#include "trend/TrendModel.h"
#include "trend/TrendView.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QChart;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineSeries;
class QAction;
class QValueAxis;

namespace qv::lang {
class Retranslate;
}

namespace qv::trend::qt {

class TrendChartView;
class TrendStatisticsTable;
class TrendTimeAxis;

/// What the trend window uses around it: dialogs, the clock, the record log's text, the meter's
/// model, and where its place is kept between runs (none: it is not kept).
struct TrendServices {
    platform::FileDialogs &files;
    platform::MessageBoxes &messages;
    platform::Clock &clock;
    std::function<std::string()> recordLog;
    std::function<std::string()> meterModel = {};
    platform::WindowPlaces *places = nullptr;
};

/// The trend window: the readings of one unit against clock time, live from a model or from a
/// record log or record file opened into it, with the statistics of the shown range and of the
/// whole run, zoom, pan, follow mode, a tool tip with the reading under the pointer, and export
/// of the picture (PNG, SVG: title, chart and statistics) and of the points (CSV). Non-modal;
/// closing it only hides it. It opens beside the main window (its parent) or where it was left.
class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    TrendWindow(TrendModel &live, TrendServices services, QWidget *parent = nullptr);
    ~TrendWindow() override;

    /// Puts the window where it was left last, else beside its parent window.
    void place();
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
    /// The labels of the time axis's marks, left to right.
    [[nodiscard]] QStringList timeLabels() const;
    /// The tool tip at a point of the plot's width (0 left, 1 right): the time and the reading
    /// nearest to it, empty where none is near.
    [[nodiscard]] QString pointTip(double at) const;
    /// The picture's title: model, unit, date and time range shown.
    [[nodiscard]] QString pictureTitle() const;

    /// The chart's mouse: zoom by a factor (below 1 zooms in) around a point of the plot's width
    /// (0 left, 1 right); pan by a share of the shown span; back to the whole run, following.
    void zoom(double factor, double at);
    void pan(double by);
    void resetView();

    void openRecordLog();
    void openRecordFile();
    void showLive();
    /// Starts a new run, asking first when the run holds readings.
    void resetRun();
    void exportPicture(bool svg);
    void exportPoints();

  protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

  private:
    void buildControls();
    void scheduleRefresh();
    void showOpened(std::unique_ptr<TrendModel> model, std::size_t readings, const QString &name,
                    std::string meterModel);
    void updateUnits();
    void showSource(const QString &name);
    void drawSeries(const std::string &unit, Range time);
    void rememberPlace();
    [[nodiscard]] Range dataSpan() const;
    [[nodiscard]] std::string shownUnit() const;
    [[nodiscard]] std::optional<std::string> askSaveName(const QString &filter,
                                                         const QString &suffix);
    void save(const std::string &path, const QByteArray &bytes);
    void tell(const QString &text);

    TrendModel &live_;
    TrendServices services_;
    std::unique_ptr<TrendModel> opened_;
    const TrendModel *shown_;
    lang::Retranslate *texts_; ///< the texts that follow the language
    std::string openedModel_;  ///< the meter's model of an opened record; empty: unknown
    TrendView view_;
    std::string chosenUnit_; ///< empty: the newest unit

    QChart *chart_ = nullptr;
    std::unique_ptr<TrendTimeAxis> axisX_;
    QValueAxis *axisY_ = nullptr;
    std::vector<QLineSeries *> lines_; ///< one per unbroken run of points; extra ones empty
    TrendChartView *chartView_ = nullptr;
    QLabel *source_ = nullptr;
    QComboBox *units_ = nullptr;
    QCheckBox *follow_ = nullptr;
    QAction *reset_ = nullptr;
    TrendStatisticsTable *statistics_ = nullptr;
    bool refreshPending_ = false;
    bool recordLogShown_ = false; ///< the opened readings are the record log's

    std::size_t drawn_ = 0, shownReadings_ = 0;
    Range shownTime_;
};

} // namespace qv::trend::qt
