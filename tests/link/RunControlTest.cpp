#include "link/RunControl.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

namespace qv::link {
namespace {

std::string bits(std::initializer_list<bool> states) {
    std::string s;
    for (bool b : states)
        s += b ? '1' : '0';
    return s;
}

TEST(RunControlTest, StatesOfEachCommandInBothModes) {
    enum Action { Press, Raise, MenuStart, MenuPause };
    // Name, DMM mode, action; afterwards: running, the record start item and button enabled,
    // the button down, the scope screen accepting dropped files; record pauses called.
    const std::tuple<const char *, bool, Action, bool, const char *, int> cases[] = {
        {"button pressed, DMM", true, Press, true, "1101", 0},
        {"button pressed, DSO", false, Press, true, "0000", 0},
        {"button raised, DMM", true, Raise, false, "0000", 1},
        {"button raised, DSO", false, Raise, false, "1111", 0},
        {"menu Run, DMM", true, MenuStart, true, "1101", 0},
        {"menu Run, DSO", false, MenuStart, true, "0001", 0},
        {"menu Stop, DMM", true, MenuPause, false, "0000", 1},
        {"menu Stop, DSO", false, MenuPause, false, "0000", 1},
    };
    for (const auto &[name, dmm, action, running, record, pauses] : cases) {
        SCOPED_TRACE(name);
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        int pauseCalls = 0;
        form.call.mnuDMMRecordPause_Click = [&] { ++pauseCalls; };
        common::Elements &el = form.el;
        el.DMMmode.setChecked(dmm);
        // Before a start: stopped. Before a stop: running with a record in progress.
        const bool start = action == Press || action == MenuStart;
        el.mnuStart.setChecked(!start);
        el.mnuStart.setEnabled(start);
        el.mnuPause.setChecked(start);
        el.mnuPause.setEnabled(!start);
        el.mnuDMMRecordStart.setEnabled(!start);
        el.DMMRecord.setEnabled(!start);
        el.DMMRecord.setChecked(!start);
        el.Picture1Drops.setChecked(start);
        RunControl run(form);
        if (action == MenuStart) {
            run.mnuStart_Click();
        } else if (action == MenuPause) {
            run.mnuPause_Click();
        } else {
            el.StartStop.setChecked(start); // the click toggled the button
            run.StartStop();
        }
        EXPECT_EQ(bits({run.running(), el.mnuStart.checked(), !el.mnuStart.enabled(),
                        !el.mnuPause.checked(), el.mnuPause.enabled(), el.StartStop.checked()}),
                  std::string(6, running ? '1' : '0'));
        EXPECT_EQ(bits({el.mnuDMMRecordStart.enabled(), el.DMMRecord.enabled(),
                        el.DMMRecord.checked(), el.Picture1Drops.checked()}),
                  record);
        EXPECT_EQ(pauseCalls, pauses);
    }
}

} // namespace
} // namespace qv::link
