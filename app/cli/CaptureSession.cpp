#include "app/cli/CaptureSession.h"

#include "app/ExportCommands.h"
#include "app/Program.h"
#include "app/cli/CaptureMqtt.h"
#include "app/cli/CaptureOutput.h"
#include "app/cli/Cli.h"
#include "app/cli/NoServices.h"
#include "platform/qt/serial/QtTimer.h"
#include "platform/qt/services/QtClock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace qv::app::cli {
namespace {

/// The signal that asked the capture to end (0: none); polled by the capture's timer.
std::atomic<int> endSignal{0};

extern "C" void askToEnd(int signal) {
    endSignal.store(signal);
}

/// Answers every question as the unattended capture wants it: OK (switch to the meter's mode).
struct AnswerOk final : platform::MessageBoxes {
    platform::Answer show(const platform::Message &m) override {
        return m.buttons == platform::Buttons::YesNoCancel ? platform::Answer::No
                                                           : platform::Answer::Ok;
    }
};

/// The system's clock. A replay or the demo is the capture's only port, a stand-in whose lines
/// answer at once: the waits for a cable's lines to settle (300 ms in the search) are skipped.
class CaptureClock final : public platform::Clock {
  public:
    explicit CaptureClock(bool settle) : settle_(settle) {}
    std::string shortDate() const override { return clock_.shortDate(); }
    std::string shortTime() const override { return clock_.shortTime(); }
    std::string longTime() const override { return clock_.longTime(); }
    double now() const override { return clock_.now(); }
    void sleepMs(int ms) override {
        if (settle_)
            clock_.sleepMs(ms);
    }

  private:
    platform::qt::QtClock clock_;
    bool settle_;
};

constexpr int kPollMs = 100;
constexpr int kProgressMs = 500;

/// The program on its port with the capture's hooks, on the event loop.
class Capture {
  public:
    Capture(const CaptureSettings &settings, link::qt::LinkPort &port, PictureKit *pictures)
        : settings_(settings), port_(port), measure_(pictures ? pictures->textMeasure() : nullptr),
          writer_(pictures ? pictures->writer(false) : nullptr), os_{*port.port, answers_,
                                                                     dialogs_,   printer_,
                                                                     clipboard_, clock_},
          program_(os_, 0 /* no frame history */),
          output_(settings, program_.form(), writer_.get()), mqtt_(settings.mqtt) {
        // Pictures of frames place their text as the window does; readings need no fonts.
        if (measure_)
            program_.form().el.Picture1.setTextMeasure(measure_.get());
        program_.serialLink().useDevices({port.devices, nullptr, nullptr, &retry_});
        if (!settings.link.device.empty())
            program_.serialLink().setStartDevice(settings.link.device);
        hook();
        output_.onReading = [this](const std::string &time, std::string_view line) {
            mqtt_.reading(time, line, program_.form().v.MeterModelName);
        };
        output_.onFrame = [this](const std::string &time) {
            mqtt_.frame(time, program_.form(), program_.measurements());
        };
        if (port.recording)
            port.recording->setRecordingFailed([this](const std::string &why) {
                complain("the raw recording stopped: " + why);
                finish(kOutputFailed);
            });
    }

    int run() {
        if (const int failed = mqtt_.start(); failed != kDone)
            return failed;
        if (const int failed = output_.open(); failed != kDone)
            return failed;
        program_.Form_Load();
        if (!waitForLink()) {
            output_.abandon();
            mqtt_.finish();
            return exitCode_;
        }
        if (!output_.started())
            return kOutputFailed;
        started_.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [this] { pollOnce(); });
        poll.start(kPollMs);
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [this] { program_.Timer1_Timer(); });
        tick.start(1000);
        QTimer deadline;
        deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may end 5 % early or late
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout,
                         [this, &deadline] { endAtDuration(deadline); });
        if (settings_.durationMs > 0)
            deadline.start(std::chrono::milliseconds(settings_.durationMs));
        if (port_.pacer)
            port_.pacer->setFinishedHandler(
                [this] { QTimer::singleShot(0, [this] { finish(kDone); }); });
        ensureRecording();
        if (!finished_)
            exitCode_ = QCoreApplication::exec();
        mqtt_.finish();
        noteDropped(true);
        summary();
        return exitCode_;
    }

  private:
    void hook() {
        common::Procedures &call = program_.form().call;
        auto reading = call.Display_DMMReading;
        call.Display_DMMReading = [this, reading] {
            common::Procedures::run(reading);
            if (settings_.interval == 0)
                keep(output_.liveReading(program_.form().v.DMMReading));
        };
        auto display = call.DSO_display;
        call.DSO_display = [this, display] {
            common::Procedures::run(display);
            // Only a frame just received, not a redraw (the switch into DSO mode shows the last
            // one again); and only one received whole.
            const dso::DsoDecoder &decoder = program_.dsoDecoder();
            if (decoder.framesCompleted() == framesSeen_)
                return;
            framesSeen_ = decoder.framesCompleted();
            if (!decoder.lastFrameWhole())
                return output_.skipFrame();
            keep(output_.frame(program_.exports()));
        };
        for (auto *mode : {&call.DMMmode, &call.DSOmode}) {
            auto original = *mode;
            *mode = [this, original] {
                common::Procedures::run(original);
                ensureRecording();
            };
        }
        program_.form().el.RichTextBox1.setOnAppend(
            [this](std::string_view text) { keep(output_.logged(text)); });
        flush_.setSingleShot(true);
        flush_.setInterval(0);
        QObject::connect(&flush_, &QTimer::timeout, [this] {
            if (!output_.flush())
                finish(kOutputFailed);
        });
    }

    /// After a write: stops at the first failure or when the count or frames are reached. Rows
    /// kept in a turn of the event loop go out at its end, in one write.
    void keep(bool ok) {
        if (!ok)
            return finish(kOutputFailed);
        if (output_.done())
            return finish(kDone);
        if (!flush_.isActive())
            flush_.start();
    }

    /// The link must be up at start; a --port device may take up to --wait seconds.
    bool waitForLink() {
        common::Elements &el = program_.form().el;
        const QDeadlineTimer waited(std::chrono::seconds(settings_.waitSeconds));
        while (!el.Link.checked()) {
            if (endSignal.load() != 0 || waited.hasExpired()) {
                const std::string what = settings_.link.device.empty() ? std::string("the meter")
                                                                       : settings_.link.device;
                complain(what + " did not appear" +
                         (settings_.waitSeconds > 0
                              ? " within " + std::to_string(settings_.waitSeconds) + " s"
                              : std::string()) +
                         (el.linkNote.text().empty() ? "" : " (" + el.linkNote.text() + ")"));
                exitCode_ = kNoDevice;
                return false;
            }
            QTimer::singleShot(1000, [] { QCoreApplication::exit(0); });
            (void)QCoreApplication::exec();
            if (!el.Link.checked() && !settings_.link.device.empty())
                program_.serialLink().connectDevice(settings_.link.device);
        }
        return true;
    }

    /// At an interval, recording on whenever the link is up (the switch into a mode, which the
    /// meter's first packet makes, starts the run).
    void ensureRecording() {
        common::Elements &el = program_.form().el;
        if (!el.Link.checked() || finished_)
            return;
        if (settings_.interval > 0 && el.DMMmode.checked() && !el.mnuDMMRecordStart.checked()) {
            program_.commands().clickMenu("mnu" + std::to_string(settings_.interval) + "s");
            program_.commands().clickMenu("mnuDMMRecordStart");
        }
    }

    /// --duration: ends once that much time has passed since the link came up, never before.
    void endAtDuration(QTimer &deadline) {
        const long long left = settings_.durationMs - started_.elapsed();
        if (left > 0)
            return deadline.start(std::chrono::milliseconds(left));
        finish(kDone);
    }

    void pollOnce() {
        if (const int s = endSignal.load(); s != 0)
            return finish(kDone);
        const bool lost = program_.serialLink().watch().watching();
        if (lost != lost_) {
            lost_ = lost;
            mqtt_.link(lost);
            if (!output_.gap(lost))
                return finish(kOutputFailed);
        }
        noteDropped(false);
        ensureRecording();
        output_.trimLog();
        if (++polls_ % (kProgressMs / kPollMs) == 0)
            progress();
    }

    /// Messages the broker never got, once it takes messages again and at the end.
    void noteDropped(bool ending) {
        if (const long long dropped = mqtt_.droppedToNote(ending); dropped > 0)
            if (!output_.note("mqtt_dropped", std::to_string(dropped)) && !ending)
                finish(kOutputFailed);
    }

    void progress() {
        if (settings_.quiet || !isatty(fileno(stderr)))
            return;
        std::fprintf(stderr, "\r%.1f s  %s  last %s  link %s\033[K",
                     static_cast<double>(started_.elapsed()) / 1000.0, output_.keptText().c_str(),
                     output_.last().c_str(), lost_ ? "lost" : "up");
    }

    void summary() {
        if (settings_.quiet)
            return;
        if (isatty(fileno(stderr)))
            std::fputs("\r\033[K", stderr);
        std::string more;
        for (const std::string &part : {output_.skippedText(), mqtt_.summaryText()})
            if (!part.empty())
                more += "; " + part;
        std::fprintf(stderr, "qvlink: kept %s in %.1f s%s\n", output_.keptText().c_str(),
                     static_cast<double>(endedMs_) / 1000.0, more.c_str());
    }

    void finish(int code) {
        if (finished_)
            return;
        if (!output_.flush() && code == kDone)
            code = kOutputFailed;
        finished_ = true;
        endedMs_ = started_.isValid() ? started_.elapsed() : 0;
        exitCode_ = code;
        QCoreApplication::exit(code);
    }

    const CaptureSettings &settings_;
    link::qt::LinkPort &port_;
    AnswerOk answers_;
    NoDialogs dialogs_;
    NoPrinter printer_;
    NoClipboard clipboard_;
    CaptureClock clock_{!settings_.link.device.empty()};
    platform::qt::QtTimer retry_;
    std::unique_ptr<common::TextMeasure> measure_;
    std::unique_ptr<platform::PictureWriter> writer_;
    platform::Platform os_;
    Program program_;
    CaptureOutput output_;
    QTimer flush_; ///< the end of the turn in which rows were kept
    CaptureMqtt mqtt_;
    QElapsedTimer started_;
    bool lost_ = false, finished_ = false;
    int exitCode_ = kDone;
    long long polls_ = 0;
    long long framesSeen_ = 0; ///< frames the decoder had completed at the last redraw
    long long endedMs_ = 0;    ///< when the capture ended, since the link came up
};

} // namespace

int runCaptureSession(const CaptureSettings &settings, PictureKit *pictures) {
    std::string error;
    std::optional<link::qt::LinkPort> port = link::qt::makeLinkPort(settings.link, error);
    if (!port) {
        complain(error);
        return settings.link.recordRaw.empty() ||
                       error.find(settings.link.recordRaw) == std::string::npos
                   ? kInputRefused
                   : kOutputFailed;
    }
    if (!port->replayNote.empty())
        complain(port->replayNote);
    // A replay without a whole record has no meter to wait for: it ends at once.
    if (port->nothingToReplay)
        return kInputRefused;
    std::signal(SIGINT, askToEnd);
    std::signal(SIGTERM, askToEnd);
    // A file-size limit or a closed pipe fails the write (a message, exit 4) instead of killing.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    return Capture(settings, *port, pictures).run();
}

} // namespace qv::app::cli
