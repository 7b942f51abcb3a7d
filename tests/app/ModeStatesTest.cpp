#include "app/ModeSwitch.h"
#include "app/Program.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qv::app {
namespace {

using common::Control;
using common::Elements;

// One row of the mode table: the element, and after DMMmode and after DSOmode whether it is
// enabled and checked ('1', '0'; '-': the mode leaves it as it was).
struct Row {
    const char *name;
    Control Elements::*element;
    const char *states;
};

// clang-format off
const Row kModeTable[] = {
    {"DMMmode button", &Elements::DMMmode, "-1-0"},
    {"DSOmode button", &Elements::DSOmode, "-0-1"},
    {"mnuDMMmode", &Elements::mnuDMMmode, "0110"}, {"mnuDSOmode", &Elements::mnuDSOmode, "1001"},
    {"StartStop", &Elements::StartStop, "-1-1"}, {"mnuStart", &Elements::mnuStart, "0101"},
    {"mnuPause", &Elements::mnuPause, "1010"}, {"DMMRecord", &Elements::DMMRecord, "1000"},
    {"mnuDMMRecordStart", &Elements::mnuDMMRecordStart, "1000"},
    {"mnuDMMRecordPause", &Elements::mnuDMMRecordPause, "0101"},
    {"mnuDMMrecord", &Elements::mnuDMMrecord, "1-0-"}, {"Timer1", &Elements::Timer1, "1-0-"},
    {"DSO_wave", &Elements::DSO_wave, "0011"}, {"DSO_FFT", &Elements::DSO_FFT, "00-0"},
    {"XCursor", &Elements::XCursor, "00--"}, {"YCursor", &Elements::YCursor, "00--"},
    {"mnuDSOdis", &Elements::mnuDSOdis, "0-1-"}, {"mnuDSOwave", &Elements::mnuDSOwave, "--01"},
    {"mnuDSOFFT", &Elements::mnuDSOFFT, "0-10"}, {"Save", &Elements::Save, "0---"},
    {"menuSave", &Elements::menuSave, "0---"}, {"Print", &Elements::Print, "0---"},
    {"mnuPrint", &Elements::mnuPrint, "0---"}, {"mnuSaveAs", &Elements::mnuSaveAs, "0---"},
    {"Copy", &Elements::Copy, "----"}, {"Picture1 mouse", &Elements::Picture1Mouse, "0-1-"},
    {"Picture1 drops", &Elements::Picture1Drops, "---0"},
};
// clang-format on

class ModeStates : public ::testing::Test {
  protected:
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    Elements &el = program.form().el;

    // Sets every element of the table to a state no mode gives all of them, so "unchanged" shows;
    // of each group pair a button the mode raises goes down. The displays all hold something.
    void scramble(bool state, bool dso) {
        for (const Row &row : kModeTable) {
            (el.*row.element).setEnabled(state);
            (el.*row.element).setChecked(state);
        }
        (dso ? el.DMMmode : el.DSOmode).setChecked(true);
        (dso || state ? el.DSO_FFT : el.DSO_wave).setChecked(true);
        el.Picture1.line(0, 0, 100, 100, common::kRed);
        el.Picture2.print("1.000");
        if (!dso) { // emptying the boxes enables Save through their change events, before it goes
            el.Text1.setText("title");
            el.RichTextBox1.setText("line\r\n");
        }
    }

    void expectMode(bool dso, bool before) {
        for (const Row &row : kModeTable) {
            const Control &c = el.*row.element;
            const auto want = [&](int k) {
                const char state = row.states[dso ? k + 2 : k];
                return state == '-' ? before : state == '1';
            };
            EXPECT_EQ(std::pair(c.enabled(), c.checked()), std::pair(want(0), want(1))) << row.name;
        }
        EXPECT_EQ(el.Text1.text(), "");
        EXPECT_EQ(el.RichTextBox1.text(), "");
        EXPECT_EQ(el.RichTextBox1.enabled(), !dso);
        EXPECT_EQ(el.Picture2.ops().size(), 1u) << "the digit panel is cleared";
        std::size_t grey = 0, other = 0; // the scope screen holds the empty graticule alone
        for (const auto &op : el.Picture1.ops())
            if (const auto *line = std::get_if<common::LineOp>(&op))
                ++(line->color == common::Rgb{192, 192, 192} ? grey : other);
        EXPECT_GT(grey, 100u);
        EXPECT_EQ(other, 0u);
    }
};

TEST_F(ModeStates, EachModeSetsItsTableAndLeavesTheRest) {
    for (const bool before : {false, true}) {
        scramble(before, false);
        DMMmode(program.form());
        expectMode(false, before);
        scramble(before, true);
        DSOmode(program.form());
        expectMode(true, before);
    }
}

TEST_F(ModeStates, DsoModeRedrawsAWaveformWhenThereIsOneAndKeepsTheCursorMode) {
    program.Form_Load();
    for (const bool present : {false, true}) {
        program.form().v.CursorMode = 2;
        program.form().wave.WaveValid = present;
        program.commands().pressButton("DMMmode");
        program.commands().pressButton("DSOmode");
        EXPECT_EQ(program.form().v.CursorMode, 2);
        for (const Control *c : {&el.DSO_FFT, &el.XCursor, &el.YCursor})
            EXPECT_EQ(c->enabled(), present);
        EXPECT_EQ(el.Picture1.ops().size() > 300, present) << "the trace is drawn";
    }
}

TEST_F(ModeStates, StartUpWithoutAMeter) {
    for (auto &p : fp.port.ports)
        p.exists = false;
    program.Form_Load();
    // The element, enabled and checked.
    const std::tuple<const char *, const Control &, bool, bool> expected[] = {
        {"Save", el.Save, false, false},           {"menuSave", el.menuSave, false, false},
        {"mnuSaveAs", el.mnuSaveAs, false, false}, {"Print", el.Print, false, false},
        {"mnuPrint", el.mnuPrint, false, false},   {"Copy", el.Copy, false, false},
        {"mnuCopy", el.mnuCopy, false, false},     {"mnuHanning", el.mnuWindow[1], true, true},
        {"mnuLinear", el.mnuLinear, true, true},   {"mnuLog", el.mnuLog, true, false},
        {"mnuBreak", el.mnuBreak, false, true},    {"Link", el.Link, true, false},
        {"mnu1s", el.mnuInterval[0], false, true}, {"mnuStart", el.mnuStart, false, true},
        {"DMMmode", el.DMMmode, true, true},       {"Timer1", el.Timer1, true, false},
    };
    for (const auto &[name, c, enabled, checked] : expected)
        EXPECT_EQ(std::pair(c.enabled(), c.checked()), std::pair(enabled, checked)) << name;
    EXPECT_EQ(el.panel[0].text(), "通信电缆未连接，通信无法建立");
    EXPECT_EQ(el.panel[3].text(), "数据间隔1s");
    EXPECT_EQ(el.caption.text(), "PC520");
    EXPECT_EQ(program.form().v.WindowName, "Hanning");
    for (const Control &item : el.mnuCOM)
        EXPECT_FALSE(item.enabled());
}

} // namespace
} // namespace qv::app
