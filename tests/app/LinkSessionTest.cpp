#include "app/Program.h"
#include "link/LinkTexts.h"
#include "link/MeterSimulator.h"
#include "link/RawRecording.h"
#include "link/RecordingPort.h"
#include "link/ReplayPort.h"
#include "platform/fakes/FakeLinkServices.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <unistd.h>

namespace qv::app {
namespace {

using platform::fakes::FakePlatform;
using platform::fakes::FakeSerialPort;

/// Feeds a program a meter's stream in random batches, as the system hands bytes over.
void stream(FakeSerialPort &port, link::MeterSimulator &meter, std::size_t bytes,
            std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::size_t> batch(1, 300);
    for (std::size_t sent = 0; sent < bytes;) {
        const std::size_t n = std::min(batch(rng), bytes - sent);
        port.deliver(meter.nextBytes(n));
        sent += n;
    }
}

/// What a session leaves on screen and in the log.
struct Outcome {
    common::Waveform wave;
    std::string log, title, model, mode;
    int frames = 0;
};

Outcome outcomeOf(Program &p, int frames) {
    const common::Form &f = p.form();
    return {f.wave,
            f.el.RichTextBox1.text(),
            f.el.Text1.text(),
            f.el.panel[1].text(),
            f.el.panel[2].text(),
            frames};
}

void expectSame(const Outcome &a, const Outcome &b) {
    EXPECT_EQ(a.wave.WaveData, b.wave.WaveData);
    EXPECT_EQ(a.wave.DsoParam, b.wave.DsoParam);
    EXPECT_EQ(a.wave.WaveTitle, b.wave.WaveTitle);
    EXPECT_EQ(a.log, b.log);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.model, b.model);
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.frames, b.frames);
}

/// Counts the waveforms drawn.
int *countFrames(Program &p) {
    static int frames;
    frames = 0;
    auto draw = p.form().call.DSO_display;
    p.form().call.DSO_display = [draw] {
        ++frames;
        draw();
    };
    return &frames;
}

TEST(RecordReplayTest, AReplayAtFullSpeedEndsWhereTheRecordedSessionEnded) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("qvlink-record-replay-" + std::to_string(getpid()) + ".raw");
    const std::pair<link::SimMode, bool> sessions[] = {{link::SimMode::Dso, true},
                                                       {link::SimMode::DsoMemory, true},
                                                       {link::SimMode::DmmMemory, false}};
    for (const auto &[mode, scope] : sessions) {
        SCOPED_TRACE(int(mode));
        Outcome recorded;
        {
            FakePlatform fp;
            auto inner = std::make_unique<FakeSerialPort>();
            FakeSerialPort &meterPort = *inner;
            meterPort.ports[1].cable = true;
            auto writer = std::make_unique<link::RawRecordingWriter>();
            ASSERT_TRUE(writer->open(file.string(), "test session"));
            std::uint32_t ms = 0;
            link::RecordingPort port(std::move(inner), std::move(writer),
                                     [&ms] { return ms += 7; });
            platform::Platform os{port, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock};
            Program program(os);
            int *frames = countFrames(program);
            program.Form_Load();
            if (scope)
                program.commands().pressButton("DSOmode");
            link::MeterSimulator meter({.mode = mode, .seed = 4, .startOffset = 9});
            stream(meterPort, meter, 20 * 17 * 9 + 133, 21);
            recorded = outcomeOf(program, *frames);
            ASSERT_GT(recorded.frames + int(recorded.log.size()), 2);
        }
        std::string error;
        std::optional<link::RawRecording> rec = link::readRawRecording(file.string(), error);
        ASSERT_TRUE(rec) << error;
        EXPECT_EQ(rec->note, "test session");
        EXPECT_FALSE(rec->truncated);

        FakePlatform fp;
        link::ReplayPort replay(1, std::move(*rec));
        platform::Platform os{replay, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock};
        Program program(os);
        int *frames = countFrames(program);
        program.Form_Load();
        EXPECT_EQ(program.form().el.panel[0].text(), link::connectedText(1));
        if (scope)
            program.commands().pressButton("DSOmode");
        while (!replay.finished())
            replay.playNext(4096);
        expectSame(outcomeOf(program, *frames), recorded);
    }
    std::filesystem::remove(file);
}

TEST(RecordReplayTest, AFrameCutByAnUnplugIsDroppedWholeAndTheLinkComesBack) {
    FakePlatform fp;
    fp.port.ports[1].cable = true;
    platform::fakes::FakeTimer timer;
    Program program(fp.platform);
    program.serialLink().useDevices({.retry = &timer});
    int *frames = countFrames(program);
    program.Form_Load();
    program.commands().pressButton("DSOmode");
    common::Form &form = program.form();

    link::MeterSimulator meter({.mode = link::SimMode::Dso, .seed = 2});
    stream(fp.port, meter, 20 * (17 + 6) + 9, 1); // a frame, then six packets and a bit
    ASSERT_EQ(*frames, 1);
    ASSERT_FALSE(form.el.Picture2.ops().empty()) << "the transfer marks of the frame under way";
    const common::Waveform first = form.wave;

    fp.port.fail();
    EXPECT_EQ(form.el.panel[0].text(), link::kDisconnectedText);
    EXPECT_TRUE(form.el.Picture2.ops().size() <= 1) << "the marks are cleared";
    EXPECT_TRUE(timer.active());
    timer.fire();
    EXPECT_EQ(form.el.panel[0].text(), link::connectedText(1));

    // The meter went on meanwhile: the rest of the cut frame, then two whole frames.
    (void)meter.nextBytes(5);
    stream(fp.port, meter, 20 * (11 + 17 * 2), 3);
    EXPECT_EQ(*frames, 3) << "the rest of the cut frame completes nothing";
    EXPECT_NE(form.wave.WaveData, first.WaveData);
    EXPECT_TRUE(form.el.RichTextBox1.text().empty()) << "the log notes nothing";
}

TEST(OtherPortTest, TheItemAfterCom8AsksForADeviceAndConnectsToIt) {
    FakePlatform fp;
    fp.port.devices["/dev/rfcomm0"] = {};
    platform::fakes::FakeSerialDevices devices;
    platform::fakes::ScriptedDeviceChooser chooser;
    chooser.answers = {"/dev/rfcomm0"};
    Program program(fp.platform);
    program.serialLink().useDevices({.devices = &devices, .chooser = &chooser});
    program.Form_Load();
    program.commands().clickMenu("mnuOtherPort");
    EXPECT_EQ(program.form().el.panel[0].text(), link::connectedText("/dev/rfcomm0"));
    EXPECT_TRUE(program.form().el.Link.checked());
}

} // namespace
} // namespace qv::app
