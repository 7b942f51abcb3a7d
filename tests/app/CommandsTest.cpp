#include "app/Layout.h"
#include "app/ModeSwitch.h"
#include "app/Program.h"
#include "link/MeterSimulator.h"
#include "platform/fakes/FakePlatform.h"
#include "tests/DisplayText.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

namespace qv::app {
namespace {

using common::Control;
using common::Elements;

/// The program over fake services.
class AppTest : public ::testing::Test {
  protected:
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    common::Form &form = program.form();
    Elements &el = form.el;
};

// Mode table: element; enabled and checked after DMMmode, then after DSOmode ('-': left as it was).
// clang-format off
const std::tuple<const char *, Control Elements::*, const char *> kModeTable[] = {
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
    {"Picture1 drops", &Elements::Picture1Drops, "---0"}};
// clang-format on

class ModeStates : public AppTest {
  protected:
    // Every element in one state, so "unchanged" shows; the displays all hold something.
    void scramble(bool state, bool dso) {
        for (const auto &[name, element, states] : kModeTable)
            (el.*element).setEnabled(state), (el.*element).setChecked(state);
        (dso ? el.DMMmode : el.DSOmode).setChecked(true);
        (dso || state ? el.DSO_FFT : el.DSO_wave).setChecked(true);
        el.Picture1.line(0, 0, 100, 100, common::kRed), el.Picture2.print("1.000");
        if (!dso) // emptying the boxes enables Save through their change events, before it goes
            el.Text1.setText("title"), el.RichTextBox1.setText("line\r\n");
    }

    void expectMode(bool dso, bool before) {
        for (const auto &[name, element, states] : kModeTable) {
            const auto want = [&](int k) {
                const char state = states[dso ? k + 2 : k];
                return state == '-' ? before : state == '1';
            };
            EXPECT_EQ(std::pair((el.*element).enabled(), (el.*element).checked()),
                      std::pair(want(0), want(1)))
                << name;
        }
        EXPECT_EQ(el.Text1.text() + el.RichTextBox1.text(), "");
        EXPECT_EQ(el.RichTextBox1.enabled(), !dso);
        EXPECT_EQ(el.Picture2.ops().size(), 1u) << "the digit panel is cleared";
        std::size_t grey = 0, other = 0; // the scope screen holds the empty graticule alone
        for (const auto &op : el.Picture1.ops())
            if (const auto *line = std::get_if<common::LineOp>(&op))
                ++(line->color == common::Rgb{192, 192, 192} ? grey : other);
        EXPECT_TRUE(grey > 100 && other == 0) << grey << " grey lines, " << other << " others";
    }
};

TEST_F(ModeStates, EachModeSetsItsTableAndLeavesTheRest) {
    for (const bool before : {false, true}) {
        scramble(before, false), DMMmode(form);
        expectMode(false, before);
        scramble(before, true), DSOmode(form);
        expectMode(true, before);
    }
}

// DSOmode's steps in their order, as the changes they make: from everything off (the DMM mode
// down, the spectrum view) and from everything on. "grid": the empty graticule is drawn.
TEST_F(ModeStates, DsoModeTakesItsStepsInOrder) {
    std::vector<std::string> log;
    for (const auto &[name, element, states] : kModeTable) {
        Control *c = &(el.*element);
        c->subscribe([&log, c, name = std::string(name),
                      was = std::pair(c->enabled(), c->checked())]() mutable {
            const std::pair now(c->enabled(), c->checked());
            const bool enabled = now.first != was.first;
            log.push_back(name + (enabled ? " e" : " c") +
                          ((enabled ? now.first : now.second) ? "1" : "0"));
            was = now;
        });
    }
    const auto graticule = form.call.Display_Coordinate_screen;
    form.call.Display_Coordinate_screen = [&] { log.push_back("grid"), graticule(); };
    // clang-format off
    const std::pair<bool, std::vector<std::string>> rows[] = {
        {false,
         {"Picture1 mouse e1", "DSOmode button c1", "DMMmode button c0", "mnuDSOmode c1",
          "mnuDMMmode e1", "DSO_wave c1", "DSO_FFT c0", "DSO_wave e1", "StartStop c1",
          "mnuDMMRecordPause c1", "mnuPause e1", "mnuStart c1", "mnuDSOdis e1", "grid",
          "mnuDSOwave c1", "mnuDSOFFT e1"}},
        {true,
         {"DSOmode button c1", "DMMmode button c0", "mnuDSOmode e0", "mnuDMMmode c0",
          "DSO_wave c1", "DSO_FFT c0", "mnuDSOdis e0", "DMMRecord e0", "DMMRecord c0",
          "Picture1 drops c0", "mnuDMMRecordPause e0", "mnuDMMRecordStart c0",
          "mnuDMMRecordStart e0", "mnuPause c0", "mnuStart e0", "mnuDSOdis e1", "grid",
          "mnuDSOwave e0", "mnuDSOFFT c0", "mnuDMMrecord e0", "Timer1 e0"}}};
    // clang-format on
    for (const auto &[before, steps] : rows) {
        scramble(before, true), log.clear(), DSOmode(form);
        EXPECT_EQ(log, steps) << before;
    }
}

TEST_F(ModeStates, DsoModeRedrawsAWaveformWhenThereIsOneAndKeepsTheCursorMode) {
    program.Form_Load();
    for (const bool present : {false, true}) {
        form.v.CursorMode = 2, form.wave.WaveValid = present;
        program.commands().pressButton("DMMmode"), program.commands().pressButton("DSOmode");
        // The cursor mode; the buttons enabled and the trace drawn when there is a waveform.
        EXPECT_EQ(std::tuple(form.v.CursorMode, el.DSO_FFT.enabled(), el.XCursor.enabled(),
                             el.YCursor.enabled(), el.Picture1.ops().size() > 300),
                  std::tuple(2, present, present, present, present));
    }
}

TEST_F(ModeStates, StartUpWithoutAMeter) {
    for (auto &p : fp.port.ports)
        p.exists = false;
    // What the load sets, not left to the defaults.
    std::tie(form.v.WindowType, form.v.SpectrumLogScale, form.v.CursorMode, form.v.WindowName) =
        std::tuple(0, 1, 2, "Flattop");
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
    EXPECT_EQ(std::tuple(el.panel[0].text(), el.panel[3].text(), form.v.WindowName,
                         form.v.WindowType, form.v.SpectrumLogScale, form.v.CursorMode),
              std::tuple("通信电缆未连接，通信无法建立", "数据间隔1s", "Hanning", 1, 0, 0));
    for (const Control &item : el.mnuCOM)
        EXPECT_FALSE(item.enabled());
}

/// In DSO mode, two frames received at the model's 2x reconstruction.
class CommandsTest : public AppTest {
  protected:
    std::int16_t &mode = form.v.CursorMode;
    std::filesystem::path dir = test::tempPath("qvlink-roundtrip");

    void SetUp() override {
        std::filesystem::create_directories(dir);
        fp.port.ports[1].cable = true, program.Form_Load();
        program.commands().pressButton("DSOmode");
        link::MeterSimulator meter({.mode = link::SimMode::Dso, .dso = {.timeBase = 24}});
        fp.port.deliver(meter.nextBytes(20 * 17 * 2));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    /// Records the named procedures, one letter each, around what they do.
    void trace(std::initializer_list<std::pair<std::function<void()> *, char>> calls) {
        for (const auto &[call, letter] : calls)
            *call = [this, inner = *call, letter = letter] { calls_ += letter, inner(); };
    }
    std::string calls_;
};

TEST_F(CommandsTest, CursorModeStateMachineAndViewButtonsMarkTheirItemsAndRedraw) {
    auto &call = form.call;
    // clang-format off
    trace({{&call.CloseHCursor, 'H'}, {&call.CloseVCursor, 'V'}, {&call.Clear_dVdt, 'C'},
           {&call.DSO_display, 'W'}, {&call.FFT_Display, 'F'}});
    // clang-format on
    // Each step: the button pressed, then CursorMode, the two buttons' down states and the
    // procedures called (H, V: close the X or Y cursors; C: blank the readouts), in order.
    const std::tuple<const char *, int, bool, bool, const char *> steps[] = {
        {"XCursor", 1, true, false, ""},   {"XCursor", 0, false, false, "HC"},
        {"YCursor", 2, false, true, ""},   {"XCursor", 1, true, false, "VC"},
        {"YCursor", 2, false, true, "HC"}, {"YCursor", 0, false, false, "VC"},
    };
    for (const auto &[press, after, xDown, yDown, calls] : steps) {
        calls_.clear();
        program.commands().pressButton(press);
        EXPECT_EQ(std::tuple(calls_, int(mode), el.XCursor.checked(), el.YCursor.checked()),
                  std::tuple(calls, after, xDown, yDown))
            << press;
    }
    // The buttons and the Wave menu's items switch the view (the menu draws a spectrum itself).
    for (const auto &[name, wave, drawn] :
         {std::tuple("DSO_FFT", false, "F"), std::tuple("mnuDSOwave", true, "W"),
          std::tuple("mnuDSOFFT", false, ""), std::tuple("DSO_wave", true, "W")}) {
        calls_.clear();
        std::string_view(name).starts_with("mnu") ? program.commands().clickMenu(name)
                                                  : program.commands().pressButton(name);
        EXPECT_EQ(calls_, drawn) << name;
        EXPECT_EQ(std::pair(el.DSO_wave.checked(), el.DSO_FFT.checked()), std::pair(wave, !wave));
        const Control &active = wave ? el.mnuDSOwave : el.mnuDSOFFT;
        const Control &other = wave ? el.mnuDSOFFT : el.mnuDSOwave;
        EXPECT_TRUE(active.checked() && !active.enabled() && !other.checked() && other.enabled());
        EXPECT_EQ(el.Picture1.drawMode(), common::DrawMode::Xor) << "the cursors start again";
    }
}

TEST_F(CommandsTest, OnlyExactKeysAndItemsWithAProcedureAct) {
    const auto before = el.Picture1.ops().size();
    program.commands().Toolbar1_ButtonClick("dsomode"), program.commands().Toolbar1_ButtonClick("");
    program.commands().clickMenu("mnuHelpmain");
    const std::pair<const char *, int> ports[] = {{"mnuCOM1", 1}, {"mnuCOM8", 8},  {"mnuCOM9", 0},
                                                  {"mnuCOM0", 0}, {"mnuCOM10", 0}, {"mnuCOMa", 0}};
    for (const auto &[name, port] : ports)
        EXPECT_EQ(comPortOf(name), port) << name;
    el.Text1.setText("title");
    program.commands().pressButton("DSOmode"); // already down: nothing is emptied
    EXPECT_EQ(std::tuple(el.Text1.text(), el.Picture1.ops().size(), fp.messages.shown.size()),
              std::tuple("title", before, 0u));
    program.commands().clickMenu("mnuAbout");
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(std::pair(fp.messages.shown[0].text, fp.messages.shown[0].warning),
              std::pair(std::string("QM520V示波表PC接口软件 V1.1"), false));
    // New in DMM mode offers to save the log first.
    program.commands().pressButton("DMMmode"), el.RichTextBox1.setText("  No.1 :  x\r\n");
    fp.messages.answers.push_back(platform::Answer::Cancel), program.commands().clickMenu("mnuNew");
    ASSERT_EQ(fp.messages.shown.size(), 2u);
    EXPECT_EQ(fp.messages.shown[1].text, "是否保存当前数据！");
    std::string open; // Link > Break closes the port and Link > Link opens it again
    for (const char *item : {"mnuBreak", "mnuLink", ""})
        open += fp.port.isOpen() ? '1' : '0', program.commands().clickMenu(item);
    EXPECT_EQ(open, "101");
    // The interval items: the one chosen checked (and disabled), the others not.
    const std::pair<const char *, const char *> rows[] = {
        {"mnu60s", "0000001"}, {"mnu1s", "1000000"}, {"mnu10s", "0001000"}};
    for (const auto &[item, checked] : rows) {
        program.commands().clickMenu(item);
        std::string states;
        for (const Control &c : el.mnuInterval)
            states += c.checked() && !c.enabled() ? '1' : c.enabled() ? '0' : '?';
        EXPECT_EQ(states, checked) << item;
    }
}

// Seven menus; only Export's outputs (a submenu after Print, File going on after it), the FFT
// windows and the FFT scales lie a level deeper: every other item hangs right under its menu.
TEST(Layout, SevenMenusFileExportHoldsTheSixOutputsItemsFindTheirElements) {
    std::string tree, top, deeper;
    for (const MenuSpec &m : menuTree()) {
        if (m.name.starts_with("mnuExport") || m.name == "mnuPrint" || m.name == "mnuLine2")
            tree += std::to_string(m.depth) + std::string(m.caption) + "|";
        if (m.depth != 1)
            (m.depth == 0 ? top : deeper) += std::to_string(m.depth) + std::string(m.name) + "|";
    }
    EXPECT_EQ(tree, "1&Print     |1Expor&t|2Waveform CSV…|2Spectrum CSV…|2Picture PNG…|"
                    "2Picture SVG…|2Picture PDF…|2Record CSV…|1-|");
    EXPECT_EQ(top, "0mnuFile|0mnuEdit|0mnuComm|0mnuRun|0mnuDMMrecord|0mnuDSOdis|0mnuHelp|");
    EXPECT_EQ(deeper, "2mnuExportWaveCsv|2mnuExportSpectrumCsv|2mnuExportPng|2mnuExportSvg|"
                      "2mnuExportPdf|2mnuExportRecordCsv|2mnuRectangular|2mnuHanning|"
                      "2mnuHamming|2mnuBlackman|2mnuFlattop|2mnuBartlett|2mnuLinear|2mnuLog|");
    std::string bar; // and the toolbar's groups
    for (const ButtonSpec &b : toolbarButtons())
        bar += (b.separatorBefore ? "| " : "") + std::string(b.key) + " ";
    EXPECT_EQ(bar, "New Open Save | Print Copy | Link | DMMmode DSOmode | StartStop DMMRecord | "
                   "DSO_wave DSO_FFT | XCursor YCursor ");
    // An item's state lives in its element; the first and last of each family of items too.
    Elements el;
    // clang-format off
    const std::pair<const char *, Control *> cases[] = {
        {"mnu1s", &el.mnuInterval[0]}, {"mnu60s", &el.mnuInterval[6]},
        {"mnuRectangular", &el.mnuWindow[0]}, {"mnuBartlett", &el.mnuWindow[5]},
        {"mnuExportWaveCsv", &el.mnuExportItem[0]}, {"mnuExportRecordCsv", &el.mnuExportItem[5]},
        {"mnuCOM1", &el.mnuCOM[0]}, {"mnuCOM8", &el.mnuCOM[7]}, {"mnuAbout", &el.mnuAbout},
        {"mnuFile", &el.mnuFile}, {"mnuHelpmain", &el.mnuHelpmain}, {"mnuCOM9", nullptr},
        {"mnuLine1", nullptr}};
    // clang-format on
    for (const auto &[name, element] : cases)
        EXPECT_EQ(menuElement(el, name), element) << name;
}

// Print, Save As and the caption, drops (only one file, only while stopped in DSO mode) and Open.
TEST_F(CommandsTest, PrintSaveDropAndOpenTheWaveform) {
    ASSERT_TRUE(form.wave.WaveValid);
    fp.printer.copies = 2, program.commands().clickMenu("mnuPrint");
    ASSERT_EQ(fp.printer.pages.size(), 2u);
    EXPECT_NE(test::listed(fp.printer.pages[0]->ops()).find("Wave of Meter QM520V"),
              std::string::npos);
    const std::string screen = test::listed(el.Picture1.ops()), title = form.wave.WaveTitle;
    const double rms = program.measurements().MeasRms;
    const std::string path = (dir / "wave1.dso").string();
    fp.files.saveAnswers.push_back(path), program.commands().clickMenu("mnuSaveAs");
    EXPECT_EQ(el.caption.text(), "wave1.dso - QVLINK");
    const std::pair<const char *, const char *> captions[] = {
        {"C:\\data\\wave1.dso", "wave1.dso - QVLINK"}, {"/home/u/wave1.dso", "wave1.dso - QVLINK"},
        {"wave1.dso", "wave1.dso - QVLINK"},           {"C:\\data\\", " - QVLINK"},
        {"/tmp/a\\b/c.txt", "c.txt - QVLINK"},         {"/tmp/波形.dso", "波形.dso - QVLINK"},
    };
    for (const auto &[file, caption] : captions)
        EXPECT_EQ(captionFor(file), caption) << file;

    form.wave.WaveTitle = "changed", program.Picture1_OLEDragDrop({path});
    EXPECT_EQ(form.wave.WaveTitle, "changed") << "running: the screen takes no drops";
    program.commands().pressButton("StartStop"), program.Picture1_OLEDragDrop({path, path});
    EXPECT_EQ(form.wave.WaveTitle, "changed") << "two files open nothing";
    program.Picture1_OLEDragDrop({path});
    EXPECT_EQ(form.wave.WaveTitle, title);

    form.wave.WaveData.fill(0), el.Picture1.clear();
    fp.files.openAnswers.push_back(path), program.commands().clickMenu("menuOpen");
    EXPECT_EQ(test::listed(el.Picture1.ops()), screen);
    EXPECT_EQ(program.measurements().MeasRms, rms);
    program.commands().pressButton("DMMmode"); // stopped drops stay on, but the screen is off
    form.v.CurrentFileName.clear(), program.Picture1_OLEDragDrop({path});
    EXPECT_EQ(form.v.CurrentFileName, "") << "a disabled screen takes no drops";
}

} // namespace
} // namespace qv::app
