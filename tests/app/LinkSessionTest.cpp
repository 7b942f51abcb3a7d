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
#include <unistd.h>

namespace qv::app {
namespace {

using platform::fakes::FakePlatform;
using platform::fakes::FakeSerialPort;

/// Feeds a program a meter's stream in batches of 37 bytes (random batches are the receive
/// fuzz target's).
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
        form.call.DSO_display = [this, draw = form.call.DSO_display] {
            ++frames;
            draw();
        };
    }
    /// Starts up, in DSO mode when scope.
    void start(bool scope) {
        program.Form_Load();
        if (scope)
            program.commands().pressButton("DSOmode");
    }
    /// What it leaves on screen and in the log.
    auto outcome() const {
        return std::tuple(form.wave.WaveData, form.wave.DsoParam, form.wave.WaveTitle,
                          form.el.RichTextBox1.text(), form.el.Text1.text(),
                          form.el.panel[1].text(), form.el.panel[2].text(), frames);
    }
};

TEST(RecordReplayTest, AReplayAtFullSpeedEndsWhereTheRecordedSessionEnded) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("qvlink-record-replay-" + std::to_string(getpid()) + ".raw"))
                                 .string();
    const std::pair<link::SimMode, bool> sessions[] = {{link::SimMode::Dso, true},
                                                       {link::SimMode::DsoMemory, true},
                                                       {link::SimMode::DmmMemory, false}};
    for (const auto &[mode, scope] : sessions) {
        SCOPED_TRACE(int(mode));
        decltype(Session().outcome()) recorded;
        {
            auto inner = std::make_unique<FakeSerialPort>();
            FakeSerialPort &meterPort = *inner;
            meterPort.ports[1].cable = true;
            auto writer = std::make_unique<link::RawRecordingWriter>();
            ASSERT_TRUE(writer->open(file, "test session"));
            std::uint32_t ms = 0;
            link::RecordingPort port(std::move(inner), std::move(writer),
                                     [&ms] { return ms += 7; });
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
        EXPECT_EQ(s.form.el.panel[0].text(), link::connectedText(1));
        while (!replay.finished())
            replay.playNext(4096);
        EXPECT_EQ(s.outcome(), recorded);
    }
    std::filesystem::remove(file);
}

TEST(RecordReplayTest, AFrameCutByAnUnplugIsDroppedWholeAndTheLinkComesBack) {
    platform::fakes::FakeTimer timer;
    platform::fakes::FakeSerialDevices devices;
    platform::fakes::ScriptedDeviceChooser chooser;
    chooser.answers = {"/dev/rfcomm0"};
    Session s;
    s.fp.port.ports[1].cable = true;
    s.fp.port.devices["/dev/rfcomm0"] = {};
    s.program.serialLink().useDevices({.devices = &devices, .chooser = &chooser, .retry = &timer});
    s.start(true);
    common::Form &form = s.form;

    link::MeterSimulator meter({.mode = link::SimMode::Dso, .seed = 2});
    stream(s.fp.port, meter, 20 * (17 + 6) + 9); // a frame, then six packets and a bit
    ASSERT_EQ(s.frames, 1);
    ASSERT_FALSE(form.el.Picture2.ops().empty()) << "the transfer marks of the frame under way";
    const common::Waveform first = form.wave;

    s.fp.port.fail();
    EXPECT_EQ(form.el.panel[0].text(), link::kDisconnectedText);
    EXPECT_TRUE(form.el.Picture2.ops().size() <= 1) << "the marks are cleared";
    EXPECT_TRUE(timer.active());
    timer.fire();
    EXPECT_EQ(form.el.panel[0].text(), link::connectedText(1));

    // The meter went on meanwhile: the rest of the cut frame, then two whole frames.
    (void)meter.nextBytes(5);
    stream(s.fp.port, meter, 20 * (11 + 17 * 2));
    EXPECT_EQ(s.frames, 3) << "the rest of the cut frame completes nothing";
    EXPECT_NE(form.wave.WaveData, first.WaveData);
    EXPECT_TRUE(form.el.RichTextBox1.text().empty()) << "the log notes nothing";

    // The item after COM8 asks for another device and connects to it.
    s.program.commands().clickMenu("mnuOtherPort");
    EXPECT_EQ(form.el.panel[0].text(), link::connectedText("/dev/rfcomm0"));
    EXPECT_TRUE(form.el.Link.checked());
}

} // namespace
} // namespace qv::app
