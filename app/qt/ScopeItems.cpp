#include "app/qt/ScopeItems.h"

#include "app/Program.h"
#include "app/qt/ElementBinding.h"
#include "app/qt/MeasurementsPanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>

namespace qv::app::qt {
namespace {

QAction *named(QAction *a, const char *name, std::map<std::string, QAction *> &actions) {
    a->setObjectName(QString::fromLatin1(name));
    actions[name] = a;
    return a;
}

} // namespace

MeasurementsPanel *addScopeItems(QMainWindow &window, Program &program,
                                 std::map<std::string, QAction *> &actions) {
    const auto found = [&](const char *name) -> QMenu * {
        const auto it = actions.find(name);
        return it == actions.end() ? nullptr : it->second->menu();
    };
    QMenu *wave = found("mnuDSOdis");
    QMenu *spectrum = found("mnuFFTdisplay");
    if (!wave || !spectrum)
        return nullptr;

    spectrum->addSeparator();
    QAction *peak =
        named(spectrum->addAction(QCoreApplication::translate("ScopeItems", "峰值读数")),
              "mnuPeakReadout", actions);
    peak->setCheckable(true);
    QObject::connect(peak, &QAction::toggled, &window,
                     [&program](bool on) { program.setPeakReadout(on); });

    auto *panel = new MeasurementsPanel(program, &window);
    wave->addSeparator();
    QAction *measure = named(wave->addAction(QCoreApplication::translate("ScopeItems", "测量…")),
                             "mnuMeasurements", actions);
    QObject::connect(measure, &QAction::triggered, panel, &MeasurementsPanel::open);
    program.waveShown = [panel] { panel->refresh(); };

    ReferenceKeeper &reference = program.reference();
    QMenu *refMenu = wave->addMenu(QCoreApplication::translate("ScopeItems", "参考波形"));
    named(refMenu->menuAction(), "mnuReference", actions);
    QObject::connect(refMenu, &QMenu::aboutToShow, refMenu,
                     [&reference] { reference.updateItems(); });
    bindMenuItem(named(refMenu->addAction(QCoreApplication::translate("ScopeItems", "保留此波形")),
                       "mnuKeepReference", actions),
                 reference.keepItem, [&reference] { reference.keep(); });
    named(refMenu->addAction(QCoreApplication::translate("ScopeItems", "打开参考文件…")),
          "mnuOpenReference", actions);
    QObject::connect(actions["mnuOpenReference"], &QAction::triggered, refMenu,
                     [&reference] { reference.open(); });
    bindMenuItem(named(refMenu->addAction(QCoreApplication::translate("ScopeItems", "清除")),
                       "mnuClearReference", actions),
                 reference.clearItem, [&reference] { reference.clear(); });
    reference.updateItems();

    FrameBrowser &frames = program.frames();
    frames.setFrameText([](std::size_t number, std::size_t count, const std::string &time) {
        return QCoreApplication::translate("ScopeItems", "帧 %1/%2, %3")
            .arg(number)
            .arg(count)
            .arg(QString::fromStdString(time))
            .toStdString();
    });
    wave->addSeparator();
    QAction *previous = named(wave->addAction(QCoreApplication::translate("ScopeItems", "上一帧")),
                              "mnuPreviousFrame", actions);
    previous->setShortcut(QKeySequence(Qt::Key_PageUp));
    bindMenuItem(previous, frames.previousItem, [&frames] { frames.previous(); });
    QAction *next = named(wave->addAction(QCoreApplication::translate("ScopeItems", "下一帧")),
                          "mnuNextFrame", actions);
    next->setShortcut(QKeySequence(Qt::Key_PageDown));
    bindMenuItem(next, frames.nextItem, [&frames] { frames.next(); });
    return panel;
}

} // namespace qv::app::qt
