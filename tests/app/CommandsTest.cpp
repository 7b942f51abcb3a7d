#include "app/Layout.h"
#include "app/Program.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

namespace qv::app {
namespace {

class CommandsTest : public ::testing::Test {
  protected:
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    common::Elements &el = program.form().el;
    std::int16_t &mode = program.form().v.CursorMode;

    void SetUp() override {
        program.Form_Load();
        program.commands().pressButton("DSOmode");
        el.XCursor.setEnabled(true);
        el.YCursor.setEnabled(true);
        el.DSO_FFT.setEnabled(true);
    }

    /// Records the named procedures, one letter each, around what they do.
    void trace(std::initializer_list<std::pair<std::function<void()> *, char>> calls) {
        for (const auto &[call, letter] : calls)
            *call = [this, inner = *call, letter = letter] {
                calls_ += letter;
                inner();
            };
    }
    std::string calls_;
};

TEST_F(CommandsTest, CursorModeStateMachine) {
    auto &call = program.form().call;
    trace({{&call.CloseHCursor, 'H'}, {&call.CloseVCursor, 'V'}, {&call.Clear_dVdt, 'C'}});
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
}

TEST_F(CommandsTest, ViewButtonsMarkTheirMenuItemsAndRedraw) {
    auto &call = program.form().call;
    trace({{&call.DSO_display, 'W'}, {&call.FFT_Display, 'F'}});
    for (const bool wave : {false, true}) {
        calls_.clear();
        program.commands().pressButton(wave ? "DSO_wave" : "DSO_FFT");
        EXPECT_EQ(calls_, wave ? "W" : "F");
        EXPECT_EQ(std::pair(el.DSO_wave.checked(), el.DSO_FFT.checked()), std::pair(wave, !wave));
        const common::Control &active = wave ? el.mnuDSOwave : el.mnuDSOFFT;
        const common::Control &other = wave ? el.mnuDSOFFT : el.mnuDSOwave;
        EXPECT_TRUE(active.checked() && !active.enabled() && !other.checked() && other.enabled());
    }
}

TEST_F(CommandsTest, OnlyExactKeysAndItemsWithAProcedureAct) {
    const auto before = el.Picture1.ops().size();
    program.commands().Toolbar1_ButtonClick("dsomode");
    program.commands().Toolbar1_ButtonClick("");
    program.commands().clickMenu("mnuHelpmain");
    const std::pair<const char *, int> ports[] = {{"mnuCOM1", 1}, {"mnuCOM8", 8},  {"mnuCOM9", 0},
                                                  {"mnuCOM0", 0}, {"mnuCOM10", 0}, {"mnuCOMa", 0}};
    for (const auto &[name, port] : ports)
        EXPECT_EQ(comPortOf(name), port) << name;
    el.Text1.setText("title");
    program.commands().pressButton("DSOmode"); // already down: nothing is emptied
    EXPECT_EQ(el.Text1.text(), "title");
    EXPECT_TRUE(el.DSOmode.checked());
    EXPECT_EQ(el.Picture1.ops().size(), before);
    EXPECT_TRUE(fp.messages.shown.empty());
    program.commands().clickMenu("mnuAbout");
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "QM520V示波表PC接口软件 V1.1");
    EXPECT_FALSE(fp.messages.shown[0].warning);
}

TEST_F(CommandsTest, NewInDmmModeOffersToSaveTheLogFirst) {
    program.commands().pressButton("DMMmode");
    el.RichTextBox1.setText("  No.1 :  x\r\n");
    fp.messages.answers.push_back(platform::Answer::Cancel);
    program.commands().clickMenu("mnuNew");
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "是否保存当前数据！");
}

TEST(Caption, BaseNameAfterTheLastSeparator) {
    const std::pair<const char *, const char *> cases[] = {
        {"C:\\data\\wave1.dso", "wave1.dso - QVLINK"}, {"/home/u/wave1.dso", "wave1.dso - QVLINK"},
        {"wave1.dso", "wave1.dso - QVLINK"},           {"C:\\data\\", " - QVLINK"},
        {"/tmp/a\\b/c.txt", "c.txt - QVLINK"},         {"/tmp/波形.dso", "波形.dso - QVLINK"},
    };
    for (const auto &[path, caption] : cases)
        EXPECT_EQ(captionFor(path), caption) << path;
}

} // namespace
} // namespace qv::app
