#include "app/qt/ScopeItems.h"

#include "app/Program.h"
#include "app/qt/ElementBinding.h"
#include "app/qt/MeasurementsPanel.h"
#include "lang/Retranslate.h"

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

/// The items' captions in the language installed, now and after a change of language.
void keepCaptions(QMainWindow &window, const std::map<std::string, QAction *> &actions) {
    static constexpr std::pair<const char *, const char *> kCaptions[] = {
        {"mnuPeakReadout", QT_TRANSLATE_NOOP("ScopeItems", "峰值读数")},
        {"mnuMeasurements", QT_TRANSLATE_NOOP("ScopeItems", "测量…")},
        {"mnuReference", QT_TRANSLATE_NOOP("ScopeItems", "参考波形")},
        {"mnuKeepReference", QT_TRANSLATE_NOOP("ScopeItems", "保留此波形")},
        {"mnuOpenReference", QT_TRANSLATE_NOOP("ScopeItems", "打开参考文件…")},
        {"mnuClearReference", QT_TRANSLATE_NOOP("ScopeItems", "清除")},
        {"mnuPreviousFrame", QT_TRANSLATE_NOOP("ScopeItems", "上一帧")},
        {"mnuNextFrame", QT_TRANSLATE_NOOP("ScopeItems", "下一帧")},
    };
    (new lang::Retranslate(&window))->keep([&actions] {
        for (const auto &[name, caption] : kCaptions)
            actions.at(name)->setText(QCoreApplication::translate("ScopeItems", caption));
    });
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
    QAction *peak = named(spectrum->addAction(QString()), "mnuPeakReadout", actions);
    peak->setCheckable(true);
    QObject::connect(peak, &QAction::toggled, &window,
                     [&program](bool on) { program.setPeakReadout(on); });

    auto *panel = new MeasurementsPanel(program, &window);
    wave->addSeparator();
    QAction *measure = named(wave->addAction(QString()), "mnuMeasurements", actions);
    QObject::connect(measure, &QAction::triggered, panel, &MeasurementsPanel::open);
    program.waveShown = [panel] { panel->refresh(); };

    ReferenceKeeper &reference = program.reference();
    QMenu *refMenu = wave->addMenu(QString());
    named(refMenu->menuAction(), "mnuReference", actions);
    QObject::connect(refMenu, &QMenu::aboutToShow, refMenu,
                     [&reference] { reference.updateItems(); });
    bindMenuItem(named(refMenu->addAction(QString()), "mnuKeepReference", actions),
                 reference.keepItem, [&reference] { reference.keep(); });
    named(refMenu->addAction(QString()), "mnuOpenReference", actions);
    QObject::connect(actions["mnuOpenReference"], &QAction::triggered, refMenu,
                     [&reference] { reference.open(); });
    bindMenuItem(named(refMenu->addAction(QString()), "mnuClearReference", actions),
                 reference.clearItem, [&reference] { reference.clear(); });
    reference.updateItems();

    FrameBrowser &frames = program.frames();
    wave->addSeparator();
    QAction *previous = named(wave->addAction(QString()), "mnuPreviousFrame", actions);
    previous->setShortcut(QKeySequence(Qt::Key_PageUp));
    bindMenuItem(previous, frames.previousItem, [&frames] { frames.previous(); });
    QAction *next = named(wave->addAction(QString()), "mnuNextFrame", actions);
    next->setShortcut(QKeySequence(Qt::Key_PageDown));
    bindMenuItem(next, frames.nextItem, [&frames] { frames.next(); });
    keepCaptions(window, actions);
    return panel;
}

} // namespace qv::app::qt
