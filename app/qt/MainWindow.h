#pragma once
#include "app/Program.h"
#include "trend/TrendModel.h"
#include "trend/qt/TrendWindow.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLineEdit;

namespace qv::lang {
class Retranslate;
}

namespace qv::app::qt {

class LogView;
class MeasurementsPanel;
class StatusPanel;
class TwipsCanvas;

/// The main window: the toolbar, the menus, the title box, the scope screen, the digit panel,
/// the log and the status bar, laid out at their twips positions and bound to the program's
/// elements. The scope screen and the log take any extra room when the window grows.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(Program &program, QWidget *parent = nullptr);

    /// Every action of the menus and the toolbar by its name ("mnuStart", "button:StartStop").
    [[nodiscard]] QAction *action(const std::string &name) const;
    [[nodiscard]] TwipsCanvas *scope() const { return scope_; }
    [[nodiscard]] TwipsCanvas *digits() const { return digits_; }
    /// The broker's state, shown in panel 1's tool tip under the link's note.
    void setBrokerNote(const QString &note);
    /// Wave > Measurements…'s window.
    [[nodiscard]] MeasurementsPanel *measurementsPanel() const { return measurements_; }
    /// The trend window once Trend… has opened it; nullptr before.
    [[nodiscard]] trend::qt::TrendWindow *trendWindow() const { return trendWindow_.get(); }

    /// Where the trend window's place is kept between runs; none (the default): not kept.
    void setWindowPlaces(platform::WindowPlaces *places) { places_ = places; }
    /// Runs f soon after the window was first painted on the screen (at once when it was).
    void whenShown(std::function<void()> f);

  protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

  private:
    void buildMenus();
    void buildToolbar();
    void buildForm();
    void buildStatusBar();
    /// Edit > 编辑记录… (F2): the log's editor, found where the other edit command is.
    void addLogEditItem();
    void layoutForm();
    void showTrend();
    void showPanelOneTip();
    /// Shows the menu caption of the core's table in the language installed, now and after a
    /// change of language.
    void keepCaption(QAction *a, std::string_view caption);

    Program &program_;
    lang::Retranslate *texts_; ///< the texts that follow the language
    std::map<std::string, QAction *> actions_;
    QWidget *form_ = nullptr;
    QLineEdit *title_ = nullptr;
    TwipsCanvas *scope_ = nullptr;
    TwipsCanvas *digits_ = nullptr;
    LogView *log_ = nullptr;
    StatusPanel *panelOne_ = nullptr;
    QString brokerNote_;
    MeasurementsPanel *measurements_ = nullptr;
    QTimer timer_;
    trend::TrendModel trend_; ///< every live reading since start-up
    std::unique_ptr<trend::qt::TrendWindow> trendWindow_;
    platform::WindowPlaces *places_ = nullptr;
    bool painted_ = false;
    std::vector<std::function<void()>> whenShown_;
};

} // namespace qv::app::qt
