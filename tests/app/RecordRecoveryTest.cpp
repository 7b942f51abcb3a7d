#include "app/RecordRecovery.h"
#include "app/Program.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using qv::app::Program;
using qv::app::RecordRecovery;
using qv::platform::Answer;

/// The window's program with its recovery file in a scratch folder, recording on port 1.
struct Session {
    qv::platform::fakes::FakePlatform fp;
    std::unique_ptr<Program> program;
    std::unique_ptr<RecordRecovery> recovery;

    Session(const std::string &path, std::deque<Answer> answers = {}) {
        fp.port.ports[1].cable = true;
        fp.messages.answers = std::move(answers);
        program = std::make_unique<Program>(fp.platform);
        recovery = std::make_unique<RecordRecovery>(program->form(), path);
        program->Form_Load();
        recovery->start();
    }
    /// Logs a live reading of meter model 1 showing this text at this time.
    void record(const char *reading, const char *time) {
        qv::common::Form &form = program->form();
        if (!form.el.mnuStart.checked())
            program->commands().clickMenu("mnuStart");
        if (!form.el.mnuDMMRecordStart.checked())
            program->commands().clickMenu("mnuDMMRecordStart");
        fp.clock.timeLong = time;
        const std::string packet = "\xFF" + std::string(reading, 16) + std::string("\x01\0\0", 3);
        fp.port.deliver({packet.begin(), packet.end()});
        program->Timer1_Timer();
    }
    const std::string &log() { return program->form().el.RichTextBox1.text(); }
    /// The process dies: nothing ends cleanly. Returns the log it showed.
    std::string kill() {
        std::string shown = log();
        recovery.reset();
        program.reset();
        return shown;
    }
};

class RecordRecoveryTest : public ::testing::Test {
  protected:
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qvlink-recovery-" + std::to_string(::getpid()));
    std::string path = (dir / RecordRecovery::kFileName).string();
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(RecordRecoveryTest, AfterACrashYesRestoresTheLogAsItWasLoggedAndNoDeletesIt) {
    Session first(path);
    EXPECT_TRUE(first.fp.messages.shown.empty()) << "nothing to restore at the first start";
    first.record("-1.234mV  DC    ", "14:03:27");
    first.record(" 0.123V   AC    ", "14:03:28");
    const std::string logged = first.kill();
    ASSERT_EQ(logged, "  14:03:27    -1.234 mV  DC    \r\n  14:03:28     0.123 V   AC    \r\n");
    Session second(path, {Answer::Yes});
    ASSERT_EQ(second.fp.messages.shown.size(), 1u);
    EXPECT_EQ(second.fp.messages.shown[0].text, "恢复上次未保存的记录?");
    EXPECT_EQ(second.fp.messages.shown[0].buttons, qv::platform::Buttons::YesNo);
    EXPECT_EQ(second.log(), logged);
    EXPECT_TRUE(second.program->form().el.Save.enabled());
    // Lines logged after restoring join them in the file.
    second.record(" 5.000V   DC    ", "14:10:00");
    const std::string more = second.kill();
    Session third(path, {Answer::Yes});
    EXPECT_EQ(third.log(), more);
    third.kill();
    Session fourth(path, {Answer::No});
    EXPECT_EQ(fourth.fp.messages.shown.size(), 1u);
    EXPECT_EQ(fourth.log(), "");
    EXPECT_FALSE(std::filesystem::exists(path));
    fourth.kill();
    Session fifth(path);
    EXPECT_TRUE(fifth.fp.messages.shown.empty()) << "asked once only";
}

// What ends the need for the file: a clean end, a saved record, a cleared log.
TEST_F(RecordRecoveryTest, CleanEndSaveAndClearingRemoveTheFile) {
    const std::string saved = (dir / "saved.txt").string();
    const std::pair<const char *, std::function<void(Session &)>> cases[] = {
        {"a clean end", [](Session &s) { s.recovery->discard(); }},
        {"a saved record",
         [&](Session &s) {
             s.fp.files.saveAnswers.push_back(saved);
             s.program->commands().clickMenu("menuSave");
         }},
        {"the log cleared", [](Session &s) { s.program->form().el.RichTextBox1.setText({}); }},
    };
    for (const auto &[what, end] : cases) {
        Session s(path);
        s.record("-1.234mV  DC    ", "14:03:27");
        ASSERT_TRUE(std::filesystem::exists(path)) << what;
        end(s);
        EXPECT_FALSE(std::filesystem::exists(path)) << what;
        s.kill();
    }
    EXPECT_TRUE(std::filesystem::exists(saved));
}

} // namespace
