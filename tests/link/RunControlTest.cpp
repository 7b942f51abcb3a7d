#include "link/RunControl.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

namespace qv::link {
namespace {

enum class Action { Press, Raise, MenuStart, MenuPause };

struct RunCase {
    const char *name;
    bool dmm;
    Action action;
    bool running;
    bool recordStartEnabled, recordEnabled, recordDown;
    bool drops; ///< the scope screen accepts dropped files
    int pauses; ///< calls of mnuDMMRecordPause_Click
};

/// Puts the elements into the state before the action: stopped before a start, running with
/// a record in progress before a stop.
void prepare(common::Elements &el, bool startAction) {
    el.mnuStart.setChecked(!startAction);
    el.mnuStart.setEnabled(startAction);
    el.mnuPause.setChecked(startAction);
    el.mnuPause.setEnabled(!startAction);
    el.mnuDMMRecordStart.setEnabled(!startAction);
    el.DMMRecord.setEnabled(!startAction);
    el.DMMRecord.setChecked(!startAction);
    el.Picture1Drops.setChecked(startAction);
}

TEST(RunControlTest, StatesOfEachCommandInBothModes) {
    const std::vector<RunCase> cases{
        {"button pressed, DMM", true, Action::Press, true, true, true, false, true, 0},
        {"button pressed, DSO", false, Action::Press, true, false, false, false, false, 0},
        {"button raised, DMM", true, Action::Raise, false, false, false, false, false, 1},
        {"button raised, DSO", false, Action::Raise, false, true, true, true, true, 0},
        {"menu Run, DMM", true, Action::MenuStart, true, true, true, false, true, 0},
        {"menu Run, DSO", false, Action::MenuStart, true, false, false, false, true, 0},
        {"menu Stop, DMM", true, Action::MenuPause, false, false, false, false, false, 1},
        {"menu Stop, DSO", false, Action::MenuPause, false, false, false, false, false, 1},
    };
    for (const RunCase &c : cases) {
        SCOPED_TRACE(c.name);
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        int pauses = 0;
        form.call.mnuDMMRecordPause_Click = [&] { ++pauses; };
        common::Elements &el = form.el;
        el.DMMmode.setChecked(c.dmm);
        const bool start = c.action == Action::Press || c.action == Action::MenuStart;
        prepare(el, start);
        RunControl run(form);
        switch (c.action) {
        case Action::Press:
        case Action::Raise:
            el.StartStop.setChecked(start); // the click toggled the button
            run.StartStop();
            break;
        case Action::MenuStart:
            run.mnuStart_Click();
            break;
        case Action::MenuPause:
            run.mnuPause_Click();
            break;
        }
        EXPECT_EQ(run.running(), c.running);
        EXPECT_EQ(el.mnuStart.checked(), c.running);
        EXPECT_EQ(el.mnuStart.enabled(), !c.running);
        EXPECT_EQ(el.mnuPause.checked(), !c.running);
        EXPECT_EQ(el.mnuPause.enabled(), c.running);
        EXPECT_EQ(el.StartStop.checked(), c.running);
        EXPECT_EQ(el.mnuDMMRecordStart.enabled(), c.recordStartEnabled);
        EXPECT_EQ(el.DMMRecord.enabled(), c.recordEnabled);
        EXPECT_EQ(el.DMMRecord.checked(), c.recordDown);
        EXPECT_EQ(el.Picture1Drops.checked(), c.drops);
        EXPECT_EQ(pauses, c.pauses);
    }
}

TEST(RunControlTest, StopWithoutARecordProcedureWiredIsHarmless) {
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    RunControl run(form);
    form.el.DMMmode.setChecked(true);
    run.mnuPause_Click();
    run.mnuStart_Click();
    EXPECT_TRUE(run.running());
    EXPECT_FALSE(form.el.DMMRecord.checked()) << "starting again does not restart recording";
}

} // namespace
} // namespace qv::link
