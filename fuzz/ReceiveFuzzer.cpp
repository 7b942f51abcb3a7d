// The receive path: any bytes in any batches through the port double into the whole program, in DMM
// and DSO mode, running and stopped, waveform and spectrum view, with commands between; the
// invariants below hold after every receive event. Input, as steps: a byte below 0x80 delivers the
// next (byte + 1) bytes as one read, one from 0x80 up runs kSteps[(byte - 0x80) % size].
#include "FuzzCheck.h"
#include "app/Layout.h"
#include "app/Program.h"
#include "platform/fakes/FakePlatform.h"

namespace {

using namespace qv;
using platform::Answer;

// Message boxes that answer the mode-switch question as the input says and check that it is
// asked exactly on the 11th packet in a row from the meter's other function.
struct CheckedMessages final : platform::MessageBoxes {
    Answer next = Answer::Cancel;
    int questions = 0;
    bool switched = false; ///< the user accepted a mode switch during this event
    const common::Form *form = nullptr;

    Answer show(const platform::Message &message) override {
        if (message.text.find("切换到") == std::string::npos) // not the mode-switch question
            return message.defaultButton;
        ++questions;
        FUZZ_CHECK(form->v.ModeMismatchCount == 11, "count not 11 while asking");
        switched = next == Answer::Ok;
        return next;
    }
};

struct Harness {
    platform::fakes::FakePlatform fp;
    CheckedMessages messages;
    platform::Platform os{fp.port, messages, fp.files, fp.printer, fp.clipboard, fp.clock};
    app::Program program{os};
    common::Form &form = program.form();
    int run = 0; ///< packets in a row from the other function, as the meter sent them

    Harness() {
        fp.port.ports[1].cable = true; // the meter hangs on port 1
        messages.form = &form;
        program.Form_Load();
        FUZZ_CHECK(fp.port.isOpen(), "the search did not find the meter");
        fp.port.setEventHandler([this](int code) { event(code); });
        for (auto *f : {&form.call.DSO_display, &form.call.FFT_Display})
            *f = [this, original = *f] { checkWave(), original(); };
    }

    void event(int code) {
        const bool dmm = form.el.DMMmode.checked();
        const int questionsBefore = messages.questions;
        messages.switched = false;
        program.MSComm1_OnComm(code);
        if (code != platform::SerialPort::kReceiveEvent)
            return;
        // Every receive event takes exactly one packet's worth and decodes one packet; the count
        // follows the packets from the other function in a row, and the 11th asks once.
        const int mode = form.v.PacketData[18];
        run = (dmm ? mode > 2 : mode < 3) ? run + 1 : 0;
        FUZZ_CHECK(messages.questions - questionsBefore == (run == 11 ? 1 : 0),
                   "mode-switch question missing or extra");
        if (messages.switched)
            run = 0;
        FUZZ_CHECK(form.v.ModeMismatchCount == std::min(run, 11), "ModeMismatchCount off");
        checkAlways();
    }

    void checkWave() const {
        for (double x : form.wave.WaveData)
            FUZZ_CHECK(std::isfinite(x), "NaN or infinity in WaveData");
        for (double p : form.wave.DsoParam)
            FUZZ_CHECK(std::isfinite(p), "NaN or infinity in DsoParam");
        FUZZ_CHECK(form.wave.WaveData[255] == form.wave.WaveData[254],
                   "the last point does not repeat its neighbour");
    }

    void checkAlways() const {
        FUZZ_CHECK(form.v.ModeMismatchCount >= 0 && form.v.ModeMismatchCount <= 11,
                   "ModeMismatchCount out of 0..11");
        const int index = program.dsoDecoder().SampleIndex();
        FUZZ_CHECK(index >= 0 && index <= 256, "SampleIndex out of 0..256");
        FUZZ_CHECK(form.el.DMMmode.checked() != form.el.DSOmode.checked(), "two modes at once");
        // The digit panel shows the meter's characters as sent ("Data end  NaN" is a message
        // the meter may send); the numbers the program works out are on the scope screen.
        fuzz::checkSurface(form.el.Picture1, true);
        fuzz::checkSurface(form.el.Picture2);
    }

    /// Runs one step of kSteps; "click", "window", "interval" and "line" take an argument byte.
    void step(std::string_view s, std::uint8_t a) {
        if (s == "timer")
            program.Timer1_Timer();
        else if (s == "click") // on the scope screen, inside or just outside
            program.Picture1_MouseDown(a & 1 ? 1 : 2, 0, (a & 0x0F) * 400.0, (a >> 4) * 320.0);
        else if (s == "window")
            program.commands().clickMenu(app::kWindowItems[a % app::kWindowItems.size()]);
        else if (s == "interval")
            program.commands().clickMenu(app::kIntervalItems[a % app::kIntervalItems.size()]);
        else if (s == "ok" || s == "cancel")
            messages.next = s == "ok" ? Answer::Ok : Answer::Cancel;
        else if (s == "line") // line-state changes and errors: any code but "received"
            fp.port.raise(a % 8 == platform::SerialPort::kReceiveEvent ? 8 : a % 8);
        else if (s.starts_with("mnu"))
            program.commands().clickMenu(s);
        else // a button; "Link" closes the port or opens it again
            program.commands().pressButton(s);
    }
};

// The commands between batches, by step number: a button, a menu item or a step of its own.
constexpr std::string_view kSteps[] = {
    "StartStop", "mnuStart", "mnuPause", "DMMmode",   "DSOmode", // 0 to 4
    "DSO_wave",  "DSO_FFT",  "timer",    "DMMRecord", "XCursor", // 5 to 9
    "YCursor",   "click",    "mnuLog",   "mnuLinear", "window",  // 10 to 14
    "interval",  "ok",       "cancel",   "line",      "Link"};   // 15 to 19

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Harness h;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t c = data[i++];
        if (c < 0x80) {
            const std::size_t n = std::min<std::size_t>(c + 1u, size - i);
            h.fp.port.deliver({data + i, data + i + n});
            i += n;
            continue;
        }
        const std::string_view step = kSteps[(c - 0x80u) % std::size(kSteps)];
        const bool takes =
            step == "click" || step == "window" || step == "interval" || step == "line";
        const std::uint8_t arg = takes && i < size ? data[i++] : 0;
        const bool dmm = h.form.el.DMMmode.checked();
        h.step(step, arg);
        if (h.form.el.DMMmode.checked() != dmm) // a mode switch starts the count afresh
            h.run = 0;
        h.checkAlways();
    }
    return 0;
}
