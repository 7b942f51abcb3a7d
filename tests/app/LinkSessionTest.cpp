#include "app/Program.h"
#include "app/RecordRecovery.h"
#include "link/LinkTexts.h"
#include "link/MeterSimulator.h"
#include "link/RawRecording.h"
#include "link/RecordingPort.h"
#include "link/ReplayPort.h"
#include "platform/fakes/FakeLinkServices.h"
#include "platform/fakes/FakePlatform.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

namespace qv::app {
namespace {

using platform::Answer;
using platform::fakes::FakePlatform;
using platform::fakes::FakeSerialPort;

/// Feeds a program a meter's stream in batches of 37 bytes (random ones are the fuzz target's).
void stream(FakeSerialPort &port, link::MeterSimulator &meter, std::size_t bytes) {
    for (std::size_t sent = 0; sent < bytes; sent += 37)
        port.deliver(meter.nextBytes(std::min<std::size_t>(37, bytes - sent)));
}

/// A program over this port (its own fake when none), counting the waveforms it draws.
struct Session {
    FakePlatform fp;
    platform::Platform os;
    Program program{os};
    common::Form &form = program.form();
    int frames = 0;
    explicit Session(platform::SerialPort *port = nullptr)
        : os{port ? *port : fp.port, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock} {
        form.call.DSO_display = [this, draw = form.call.DSO_display] { ++frames, draw(); };
    }
    void start(bool scope) {
        program.Form_Load();
        if (scope)
            program.commands().pressButton("DSOmode");
    }
    auto outcome() const {
        return std::tuple(form.wave.WaveData, form.wave.DsoParam, form.wave.WaveTitle,
                          form.el.RichTextBox1.text(), form.el.Text1.text(),
                          form.el.panel[1].text(), form.el.panel[2].text(), frames);
    }
};

class RecordRecoveryTest : public ::testing::Test {
  protected:
    std::filesystem::path dir = test::tempPath("qvlink-recovery");
    std::string path = (dir / RecordRecovery::kFileName).string();
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

using RecordReplayTest = RecordRecoveryTest;

TEST_F(RecordReplayTest, AReplayAtFullSpeedEndsWhereTheRecordedSessionEnded) {
    const std::string file = (dir / "session.raw").string();
    using enum link::SimMode;
    for (const auto &[mode, scope] :
         {std::pair(Dso, true), std::pair(DsoMemory, true), std::pair(DmmMemory, false)}) {
        SCOPED_TRACE(int(mode));
        decltype(Session().outcome()) recorded;
        {
            auto inner = std::make_unique<FakeSerialPort>();
            FakeSerialPort &meterPort = *inner;
            meterPort.ports[1].cable = true;
            auto writer = std::make_unique<link::RawRecordingWriter>();
            ASSERT_TRUE(writer->open(file, "test session"));
            link::RecordingPort port(std::move(inner), std::move(writer), [] { return 0u; });
            Session s(&port);
            s.start(scope);
            link::MeterSimulator meter({.mode = mode, .seed = 4, .startOffset = 9});
            stream(meterPort, meter, 20 * 17 * 9 + 133);
            recorded = s.outcome();
            ASSERT_GT(s.frames + int(s.form.el.RichTextBox1.text().size()), 2);
        }
        std::string error;
        auto rec = link::readRawRecording(file, error);
        ASSERT_TRUE(rec) << error;
        link::ReplayPort replay(1, std::move(*rec));
        Session s(&replay);
        s.start(scope);
        while (!replay.finished())
            replay.playNext(4096);
        EXPECT_EQ(s.outcome(), recorded);
    }
}

TEST_F(RecordReplayTest, AFrameCutByAnUnplugIsDroppedWholeAndTheLinkComesBack) {
    platform::fakes::FakeTimer timer;
    platform::fakes::FakeSerialDevices devices;
    platform::fakes::ScriptedDeviceChooser chooser;
    chooser.answers = {"/dev/rfcomm0"};
    Session s;
    s.fp.port.ports[1].cable = true, s.fp.port.devices["/dev/rfcomm0"] = {};
    s.program.serialLink().useDevices({.devices = &devices, .chooser = &chooser, .retry = &timer});
    s.start(true);
    common::Form &form = s.form;

    link::MeterSimulator meter({.mode = link::SimMode::Dso, .seed = 2});
    stream(s.fp.port, meter, 20 * (17 + 6) + 9); // a frame, then six packets and a bit
    ASSERT_EQ(s.frames, 1);
    ASSERT_FALSE(form.el.Picture2.ops().empty()) << "the transfer marks of the frame under way";
    const common::Waveform first = form.wave;

    s.fp.port.fail();
    EXPECT_TRUE(form.el.Picture2.ops().size() <= 1) << "the marks are cleared";
    timer.fire();
    EXPECT_EQ(form.el.panel[0].text(), link::connectedText(1));

    // The meter went on meanwhile: the rest of the cut frame, then two whole frames.
    (void)meter.nextBytes(5);
    stream(s.fp.port, meter, 20 * (11 + 17 * 2));
    // The rest of the cut frame completes nothing; the log notes nothing.
    EXPECT_EQ(std::tuple(s.frames, form.el.RichTextBox1.text()), std::tuple(3, ""));
    EXPECT_NE(form.wave.WaveData, first.WaveData);

    // The item after COM8 asks for another device and connects to it.
    s.program.commands().clickMenu("mnuOtherPort");
    EXPECT_EQ(std::tuple(form.el.panel[0].text(), form.el.Link.checked()),
              std::tuple(link::connectedText("/dev/rfcomm0"), true));
}

/// The program recording on port 1 with its recovery file; its end is the process dying.
struct Recovering {
    FakePlatform fp;
    Program program{fp.platform};
    RecordRecovery recovery;
    explicit Recovering(const std::string &path, std::deque<Answer> answers = {})
        : recovery(program.form(), path) {
        fp.port.ports[1].cable = true;
        fp.messages.answers = std::move(answers);
        program.Form_Load();
        recovery.start();
        program.commands().clickMenu("mnuStart");
        program.commands().clickMenu("mnuDMMRecordStart");
    }
    /// Logs a live reading of meter model 1 showing this text at this time.
    void record(const char *reading, const char *time) {
        fp.clock.timeLong = time;
        fp.port.deliver(test::dmmPacket(reading, 0, 0, 1));
        program.Timer1_Timer();
    }
    const std::string &log() { return program.form().el.RichTextBox1.text(); }
};

TEST_F(RecordRecoveryTest, AfterACrashYesRestoresTheLogAsItWasLoggedAndNoDeletesIt) {
    std::optional<Recovering> s(std::in_place, path);
    EXPECT_TRUE(s->fp.messages.shown.empty()) << "nothing to restore at the first start";
    s->record("-1.234mV  DC    ", "14:03:27");
    s->record(" 0.123V   AC    ", "14:03:28");
    const std::string logged = s->log();
    ASSERT_EQ(logged, "  14:03:27    -1.234 mV  DC    \r\n  14:03:28     0.123 V   AC    \r\n");
    s.emplace(path, std::deque{Answer::Yes});
    ASSERT_EQ(s->fp.messages.shown.size(), 1u);
    EXPECT_EQ(std::tuple(s->fp.messages.shown[0].text, s->fp.messages.shown[0].buttons, s->log(),
                         s->program.form().el.Save.enabled()),
              std::tuple("恢复上次未保存的记录? (2 行, 14:03:27 – 14:03:28)",
                         platform::Buttons::YesNo, logged, true));
    // Lines logged after restoring join them in the file.
    s->record(" 5.000V   DC    ", "14:10:00");
    const std::string more = s->log();
    s.emplace(path, std::deque{Answer::Yes});
    EXPECT_EQ(s->log(), more);
    // A question the program's end left unanswered keeps the file as it was, whatever follows.
    s.emplace(path, std::deque{Answer::Cancel});
    s->record(" 6.000V   DC    ", "14:11:00");
    s->recovery.end();
    s.emplace(path, std::deque{Answer::Yes});
    EXPECT_EQ(s->log(), more);
    s.emplace(path, std::deque{Answer::No});
    EXPECT_EQ(std::tuple(s->log(), std::filesystem::exists(path)), std::tuple("", false));
    s.emplace(path);
    EXPECT_TRUE(s->fp.messages.shown.empty()) << "asked once only";
}

// A saved record or a cleared log ends the need for the file; a clean end keeps unsaved lines.
TEST_F(RecordRecoveryTest, ACleanEndKeepsUnsavedLinesForTheNextStartAndOnlyThose) {
    const std::string saved = (dir / "saved.txt").string();
    const auto save = [&](Recovering &s) {
        std::filesystem::remove(saved); // no question about replacing it
        s.fp.files.saveAnswers.push_back(saved);
        s.program.commands().clickMenu("menuSave");
    };
    // What happens after a line was logged, and the log the next start offers ("": none).
    const std::pair<std::function<void(Recovering &)>, std::string> cases[] = {
        {[](Recovering &) {}, "  14:03:27    -1.234 mV  DC    \r\n"},
        {save, ""},
        {[](Recovering &s) { s.program.form().el.RichTextBox1.setText({}); }, ""},
        {[&](Recovering &s) { save(s), s.record(" 5.000V   DC    ", "14:10:00"); },
         "  14:10:00     5.000 V   DC    \r\n"}, // saved lines are not offered again
        {[](Recovering &s) { s.program.form().el.RichTextBox1.editedByUser("mine\r\n"); },
         "mine\r\n"},
    };
    for (const auto &[before, offered] : cases) {
        SCOPED_TRACE(&before - &cases[0].first);
        {
            Recovering s(path);
            s.record("-1.234mV  DC    ", "14:03:27");
            ASSERT_TRUE(std::filesystem::exists(path));
            before(s);
            EXPECT_EQ(s.recovery.unsaved(), !offered.empty());
            s.recovery.end();
        }
        EXPECT_EQ(std::filesystem::exists(path), !offered.empty());
        Recovering next(path, {Answer::Yes});
        EXPECT_EQ(next.log(), offered);
        next.recovery.end(); // restored and never saved: offered again at the start after
        Recovering after(path, {Answer::Yes});
        EXPECT_EQ(after.log(), offered);
        after.program.form().el.RichTextBox1.setText({});
    }
    EXPECT_TRUE(std::filesystem::exists(saved));
}

} // namespace
} // namespace qv::app
