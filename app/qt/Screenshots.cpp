#include "app/qt/Screenshots.h"

#include "app/Program.h"
#include "app/qt/MainWindow.h"
#include "app/qt/MeasurementsPanel.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace qv::app::qt {
namespace {

struct Step {
    int afterMs;
    std::function<void()> action;
};

void runSteps(QObject *context, std::shared_ptr<std::vector<Step>> steps, std::size_t i) {
    if (i >= steps->size()) {
        QApplication::exit(0);
        return;
    }
    QTimer::singleShot((*steps)[i].afterMs, context, [context, steps, i] {
        (*steps)[i].action();
        runSteps(context, steps, i + 1);
    });
}

} // namespace

void takeScreenshots(MainWindow &window, Program &program, const QString &folder, bool dso) {
    QDir().mkpath(folder);
    const auto save = [folder](const QPixmap &picture, const char *name) {
        const QString path = QDir(folder).absoluteFilePath(QString::fromLatin1(name));
        picture.save(path);
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    };
    const auto shot = [&window, save](const char *name) {
        return [&window, save, name] { save(window.grab(), name); };
    };
    auto steps = std::make_shared<std::vector<Step>>();
    if (dso) {
        // The demo shows each of its four time bases for three frames (about 4.3 s).
        steps->push_back({4000, shot("qvlink-waveform.png")});
        steps->push_back({4300, shot("qvlink-waveform-2x.png")});
        steps->push_back({4300, shot("qvlink-waveform-4x.png")});
        steps->push_back({4300, shot("qvlink-waveform-8x.png")});
        steps->push_back({0, [&program] { program.commands().pressButton("DSO_FFT"); }});
        steps->push_back({500, shot("qvlink-spectrum.png")});
        steps->push_back({0, [&program] {
                              program.commands().pressButton("DSO_wave");
                              program.commands().pressButton("XCursor");
                              program.Picture1_MouseDown(1, 0, 1350, 2000);
                              program.Picture1_MouseDown(2, 0, 3750, 3000);
                          }});
        steps->push_back({300, shot("qvlink-cursors.png")});
        // A reference kept at one time base, compared with the next; the measurements beside.
        steps->push_back({0, [&window] {
                              window.action("mnuKeepReference")->trigger();
                              window.action("mnuMeasurements")->trigger();
                          }});
        steps->push_back({2500, [&window, save] {
                              // Both windows as they stand on the screen, and no more.
                              const QRect both = window.frameGeometry().united(
                                  window.measurementsPanel()->frameGeometry());
                              save(window.screen()->grabWindow(0, both.x(), both.y(), both.width(),
                                                               both.height()),
                                   "qvlink-scope-extras.png");
                          }});
        // Stopped, one frame back, in the spectrum view with its peak named.
        steps->push_back({0, [&window, &program] {
                              program.commands().clickMenu("mnuPause");
                              window.action("mnuPreviousFrame")->trigger();
                              window.action("mnuPeakReadout")->setChecked(true);
                              program.commands().pressButton("DSO_FFT");
                          }});
        steps->push_back({300, shot("qvlink-history-peak.png")});
    } else {
        steps->push_back({2500, shot("qvlink-dmm.png")});
        steps->push_back({0, [&program] { program.commands().pressButton("DMMRecord"); }});
        steps->push_back({4500, shot("qvlink-record.png")});
        steps->push_back(
            {0, [&window, save] { save(window.statusBar()->grab(), "qvlink-status.png"); }});
        steps->push_back({0, [&program] { program.commands().clickMenu("mnuTrend"); }});
        steps->push_back({1500, [&window, save] {
                              save(window.trendWindow()->grab(), "qvlink-trend.png");
                              // Both windows as they stand on the screen.
                              save(window.screen()->grabWindow(0), "qvlink-screen.png");
                          }});
    }
    runSteps(&window, steps, 0);
}

} // namespace qv::app::qt
