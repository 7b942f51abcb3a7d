#include "DmmRig.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace qv::dmm::test {
namespace {

using platform::Answer;

TEST(RecordLog, IntervalItemsAndPanel) {
    struct Case {
        std::int16_t n;
        int item; // index of the checked and disabled item, -1 for none
        const char *panel;
    };
    // In order: each step re-enables and unchecks the item chosen before.
    const Case cases[] = {
        {1, 0, "数据间隔1s"},   {10, 3, "数据间隔10s"}, {2, 1, "数据间隔2s"},
        {5, 2, "数据间隔5s"},   {20, 4, "数据间隔20s"}, {30, 5, "数据间隔30s"},
        {60, 6, "数据间隔60s"}, {3, -1, "数据间隔3s"},  {-5, -1, "数据间隔-5s"},
    };
    DmmRig rig;
    for (const Case &c : cases) {
        rig.log.SetRecordTime(c.n);
        EXPECT_EQ(rig.log.RecordInterval(), c.n);
        EXPECT_EQ(rig.form.el.panel[3].text(), c.panel);
        for (int i = 0; i < 7; ++i) {
            const auto &item = rig.form.el.mnuInterval[static_cast<std::size_t>(i)];
            EXPECT_EQ(item.checked(), i == c.item) << c.n << " item " << i;
            EXPECT_EQ(item.enabled(), i != c.item) << c.n << " item " << i;
        }
    }
    for (int i = 0; i < 7; ++i) {
        rig.log.mnuInterval_Click(i);
        EXPECT_EQ(rig.log.RecordInterval(), common::kRecordIntervals[static_cast<std::size_t>(i)]);
    }
    for (int bad : {-1, 7, 1000}) {
        rig.log.mnuInterval_Click(bad);
        EXPECT_EQ(rig.log.RecordInterval(), 60);
    }
}

/// A reading whose value field is the half-second it was sent at.
std::string readingAt(int halfSecond) {
    char value[8];
    std::snprintf(value, sizeof value, "%6d", halfSecond % 1000000);
    return std::string(value) + "V  DC     "; // 6 + 10 characters
}

std::string timeAt(int second) {
    return "10:00:" + std::to_string(second);
}

TEST(RecordLog, TimerAppendsTheLatestReadingOnDueTicks) {
    struct Case {
        std::int16_t interval;
        int seconds;
        std::vector<int> dueTicks;
    };
    const Case cases[] = {
        {1, 5, {1, 2, 3, 4, 5}},
        {2, 8, {3, 5, 7}},
        {60, 200, {61, 121, 181}},
    };
    for (const Case &c : cases) {
        DmmRig rig;
        rig.log.SetRecordTime(c.interval);
        rig.log.mnuDMMRecordStart_Click();
        std::string expected;
        for (int second = 1; second <= c.seconds; ++second) {
            rig.send(readingAt(2 * second - 1), 0);
            rig.send(readingAt(2 * second), 0);
            rig.fp.clock.timeLong = timeAt(second);
            rig.log.Timer1_Timer();
            if (std::find(c.dueTicks.begin(), c.dueTicks.end(), second) == c.dueTicks.end())
                continue;
            const std::string r = readingAt(2 * second);
            expected +=
                "  " + timeAt(second) + "    " + r.substr(0, 6) + " " + r.substr(6) + "\r\n";
        }
        EXPECT_EQ(rig.form.el.RichTextBox1.text(), expected) << c.interval;
        EXPECT_EQ(rig.log.RecordTickCount(),
                  c.interval == 1 ? 0 : 1 + (c.seconds - c.dueTicks.back()))
            << c.interval;
    }
}

TEST(RecordLog, MissingReadingsUseUpTheirSlot) {
    // Interval 2 s; each entry: readings sent before this tick (0 or 1), and whether a line is
    // appended at it.
    struct Step {
        bool reading;
        bool line;
    };
    const Step steps[] = {
        {true, false},  // tick 1: counter 0 -> 1
        {false, false}, // tick 2: 2
        {false, true},  // tick 3: due, the reading from before tick 1 is still waiting
        {false, false}, // tick 4
        {false, false}, // tick 5: due, nothing waits: the slot is gone
        {true, false},  // tick 6: not due; the reading waits
        {false, true},  // tick 7: due
        {true, false},  // tick 8
        {false, true},  // tick 9
    };
    DmmRig rig;
    rig.log.SetRecordTime(2);
    rig.log.mnuDMMRecordStart_Click();
    int carets = 0;
    rig.form.el.RichTextBox1.setView(caretCounter(carets));
    std::size_t lines = 0;
    int tick = 0;
    for (const Step &s : steps) {
        ++tick;
        if (s.reading)
            rig.send(" 1.000V         ", 0);
        rig.log.Timer1_Timer();
        lines += s.line ? 1 : 0;
        const std::string &text = rig.form.el.RichTextBox1.text();
        EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), lines)
            << "tick " << tick;
        EXPECT_EQ(carets, static_cast<int>(lines)) << "tick " << tick;
    }
}

TEST(RecordLog, RecordingStateDecidesWhatIsLogged) {
    DmmRig rig;
    rig.form.v.DMMSampleReady = false;
    rig.send(" 1.000V         ", 0); // not recording
    rig.log.Timer1_Timer();
    EXPECT_TRUE(rig.form.el.RichTextBox1.text().empty());

    rig.log.mnuDMMRecordStart_Click();
    rig.send(" 2.000V         ", 0);
    rig.log.mnuDMMRecordPause_Click(); // the reading that came just before ending is still logged
    rig.send(" 3.000V         ", 0);
    rig.log.Timer1_Timer();
    rig.send(" 4.000V         ", 0);
    rig.log.Timer1_Timer();
    EXPECT_EQ(rig.form.el.RichTextBox1.text(), "  14:03:27     3.000 V         \r\n");

    // A disabled timer neither counts nor logs.
    rig.log.SetRecordTime(5);
    rig.log.mnuDMMRecordStart_Click();
    rig.send(" 5.000V         ", 0);
    rig.form.el.Timer1.setEnabled(false);
    for (int i = 0; i < 10; ++i)
        rig.log.Timer1_Timer();
    EXPECT_EQ(rig.log.RecordTickCount(), 0);
    EXPECT_TRUE(rig.form.v.DMMSampleReady);
}

TEST(RecordLog, StartAndEndCommands) {
    enum Action { MenuStart, MenuEnd, ButtonDown, ButtonUp };
    struct Case {
        Action action;
        bool recording; // start item checked, end item unchecked, button down
    };
    const Case cases[] = {{MenuStart, true}, {MenuEnd, false},  {ButtonDown, true},
                          {ButtonUp, false}, {MenuStart, true}, {ButtonUp, false}};
    DmmRig rig;
    common::Elements &el = rig.form.el;
    for (const Case &c : cases) {
        switch (c.action) {
        case MenuStart:
            rig.log.mnuDMMRecordStart_Click();
            break;
        case MenuEnd:
            rig.log.mnuDMMRecordPause_Click();
            break;
        case ButtonDown:
        case ButtonUp:
            el.DMMRecord.setChecked(c.action == ButtonDown); // the button toggles itself
            rig.log.DMMRecord();
            break;
        }
        EXPECT_EQ(el.mnuDMMRecordStart.checked(), c.recording);
        EXPECT_EQ(el.mnuDMMRecordStart.enabled(), !c.recording);
        EXPECT_EQ(el.mnuDMMRecordPause.checked(), !c.recording);
        EXPECT_EQ(el.mnuDMMRecordPause.enabled(), c.recording);
        EXPECT_EQ(el.DMMRecord.checked(), c.recording);
    }
}

TEST(RecordLog, NewRecordOffersToSaveFirst) {
    enum class Save { Unwired, Cancelled, Written };
    struct Case {
        const char *log;
        std::vector<Answer> answers;
        Save save;
        bool asked;
        int dialogs; // save dialogs shown
        bool cleared;
    };
    const Case cases[] = {
        {"", {}, Save::Cancelled, false, 0, true},
        {"  No.1 :  x\r\n", {Answer::Cancel}, Save::Written, true, 0, false},
        {"  No.1 :  x\r\n", {Answer::Yes}, Save::Cancelled, true, 1, false},
        {"  No.1 :  x\r\n", {Answer::Yes}, Save::Written, true, 1, true},
        {"  No.1 :  x\r\n", {Answer::Yes}, Save::Unwired, true, 0, false},
        {"  No.1 :  x\r\n", {Answer::No}, Save::Written, true, 0, true},
    };
    for (const Case &c : cases) {
        DmmRig rig;
        rig.form.el.RichTextBox1.setText(c.log);
        rig.form.el.Save.setEnabled(false);
        rig.form.el.menuSave.setEnabled(false);
        rig.fp.messages.answers.assign(c.answers.begin(), c.answers.end());
        if (c.save != Save::Written)
            rig.fp.files.saveAnswers.push_back(std::nullopt);
        else
            rig.fp.files.saveAnswers.push_back("/tmp/record.txt");
        if (c.save != Save::Unwired)
            rig.form.call.SaveDMMRecord = [&rig] {
                return rig.fp.files.saveFile("DMM文档文件(*.txt)|*.txt|所有文件(*.*)|*.*")
                    .has_value();
            };
        rig.log.NewRecord();
        EXPECT_EQ(rig.fp.messages.shown.size(), c.asked ? 1u : 0u) << c.log;
        EXPECT_EQ(static_cast<int>(rig.fp.files.saveFilters.size()), c.dialogs);
        EXPECT_EQ(rig.form.el.RichTextBox1.text(), c.cleared ? "" : c.log);
        // Clearing a log that held text is a change, and any change enables Save.
        const bool changed = c.cleared && *c.log;
        EXPECT_EQ(rig.form.el.Save.enabled(), changed);
        EXPECT_EQ(rig.form.el.menuSave.enabled(), changed);
        if (!c.asked)
            continue;
        const platform::Message &m = rig.fp.messages.shown.front();
        EXPECT_EQ(m.text, "是否保存当前数据！");
        EXPECT_EQ(m.title, "请确认操作");
        EXPECT_EQ(m.buttons, platform::Buttons::YesNoCancel);
        EXPECT_TRUE(m.warning);
    }
}

TEST(RecordLog, EditsEnableSaveAndFollowTheWaveTitle) {
    struct Case {
        bool waveView; // DSO_wave down
        bool byTitle;  // edit the title box, else the log box
        const char *title;
    };
    const Case cases[] = {
        {false, true, "Kanal 1"}, {true, true, "通道 1 "}, {true, false, ""}, {false, false, ""}};
    for (const Case &c : cases) {
        DmmRig rig;
        rig.form.el.Save.setEnabled(false);
        rig.form.el.menuSave.setEnabled(false);
        rig.form.el.DSO_wave.setChecked(c.waveView);
        rig.form.wave.WaveTitle = "old";
        if (c.byTitle)
            rig.form.el.Text1.setText(c.title);
        else
            rig.form.el.RichTextBox1.editedByUser("typed\r\n");
        EXPECT_TRUE(rig.form.el.Save.enabled());
        EXPECT_TRUE(rig.form.el.menuSave.enabled());
        EXPECT_EQ(rig.form.wave.WaveTitle, c.waveView && c.byTitle ? c.title : "old");
    }
}

} // namespace
} // namespace qv::dmm::test
