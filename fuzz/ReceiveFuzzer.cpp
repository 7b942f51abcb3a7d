// The receive path: arbitrary bytes in arbitrary batches through the port double into the whole
// program, in DMM and DSO mode, running and stopped, waveform and spectrum view, with commands
// in between. After every receive event the invariants below must hold.
//
// Input: a sequence of steps. A byte below 0x80 delivers the next (byte + 1) bytes as one batch
// of the operating system; a byte from 0x80 up runs the command kSteps[(byte - 0x80) % size].
#include "FuzzCheck.h"
#include "app/Layout.h"
#include "app/Program.h"
#include "platform/fakes/FakePlatform.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

using namespace qv;
using platform::Answer;

// Message boxes that answer the mode-switch question as the input says and check that it is
// asked exactly on the 11th packet in a row from the meter's other function.
class CheckedMessages final : public platform::MessageBoxes {
  public:
    Answer next = Answer::Cancel;
    int questions = 0;
    bool switched = false; ///< the user accepted a mode switch during this event
    const common::Form *form = nullptr;

    Answer show(const platform::Message &message) override {
        if (message.text.find("切换到") != std::string::npos) { // the mode-switch question
            ++questions;
            FUZZ_CHECK(form->v.ModeMismatchCount == 11, "count not 11 while asking");
            switched = next == Answer::Ok;
            return next;
        }
        return message.defaultButton;
    }
};

struct Harness {
    platform::fakes::FakePlatform fp;
    CheckedMessages messages;
    platform::Platform os{fp.port, messages, fp.files, fp.printer, fp.clipboard, fp.clock};
    app::Program program{os};
    common::Form &form = program.form();
    int run = 0;         ///< packets in a row from the other function, as the meter sent them

    Harness() {
        fp.port.ports[1].cable = true; // the meter hangs on port 1
        messages.form = &form;
        program.Form_Load();
        FUZZ_CHECK(fp.port.isOpen(), "the search did not find the meter");
        fp.port.setEventHandler([this](int code) { event(code); });
        for (auto *f : {&form.call.DSO_display, &form.call.FFT_Display}) {
            *f = [this, original = *f] {
                checkWave();
                original();
            };
        }
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
        const bool other = dmm ? mode > 2 : mode < 3;
        const int before = run;
        run = other ? run + 1 : 0;
        FUZZ_CHECK(messages.questions - questionsBefore == (before == 10 && run == 11 ? 1 : 0),
                   "mode-switch question missing or extra");
        if (messages.switched)
            run = 0;
        FUZZ_CHECK(form.v.ModeMismatchCount == std::min(run, 11), "ModeMismatchCount off");
        checkAlways();
    }

    void checkWave() const {
        const auto &w = form.wave.WaveData;
        for (int i = 0; i < 256; ++i)
            FUZZ_CHECK(std::isfinite(w[static_cast<size_t>(i)]), "NaN or infinity in WaveData");
        FUZZ_CHECK(w[255] == w[254], "the last point does not repeat its neighbour");
        for (double p : form.wave.DsoParam)
            FUZZ_CHECK(std::isfinite(p), "NaN or infinity in DsoParam");
    }

    void checkAlways() const {
        const int count = form.v.ModeMismatchCount;
        FUZZ_CHECK(count >= 0 && count <= 11, "ModeMismatchCount out of 0..11");
        const int index = program.dsoDecoder().SampleIndex();
        FUZZ_CHECK(index >= 0 && index <= 256, "SampleIndex out of 0..256");
        FUZZ_CHECK(form.el.DMMmode.checked() != form.el.DSOmode.checked(), "two modes at once");
        fuzz::checkSurface(form.el.Picture1);
        fuzz::checkSurface(form.el.Picture2);
        // The digit panel shows the meter's characters as sent ("Data end  NaN" is a message
        // the meter may send); the numbers the program works out are on the scope screen.
        fuzz::checkReadouts(form.el.Picture1);
    }
};

using Step = void (*)(Harness &, std::uint8_t arg);

void press(Harness &h, std::string_view key) {
    h.program.commands().pressButton(key);
}
void menu(Harness &h, std::string_view name) {
    h.program.commands().clickMenu(name);
}

// Commands between batches; the byte after the step is its argument.
constexpr Step kSteps[] = {
    [](Harness &h, std::uint8_t) { press(h, "StartStop"); },
    [](Harness &h, std::uint8_t) { menu(h, "mnuStart"); },
    [](Harness &h, std::uint8_t) { menu(h, "mnuPause"); },
    [](Harness &h, std::uint8_t) { press(h, "DMMmode"); },
    [](Harness &h, std::uint8_t) { press(h, "DSOmode"); },
    [](Harness &h, std::uint8_t) { press(h, "DSO_wave"); },
    [](Harness &h, std::uint8_t) { press(h, "DSO_FFT"); },
    [](Harness &h, std::uint8_t) { h.program.Timer1_Timer(); },
    [](Harness &h, std::uint8_t) { press(h, "DMMRecord"); },
    [](Harness &h, std::uint8_t) { press(h, "XCursor"); },
    [](Harness &h, std::uint8_t) { press(h, "YCursor"); },
    [](Harness &h, std::uint8_t a) { // a click on the scope screen, inside or just outside
        h.program.Picture1_MouseDown(a & 1 ? 1 : 2, 0, (a & 0x0F) * 400.0, (a >> 4) * 320.0);
    },
    [](Harness &h, std::uint8_t) { menu(h, "mnuLog"); },
    [](Harness &h, std::uint8_t) { menu(h, "mnuLinear"); },
    [](Harness &h, std::uint8_t a) { menu(h, app::kWindowItems[a % app::kWindowItems.size()]); },
    [](Harness &h, std::uint8_t a) {
        menu(h, app::kIntervalItems[a % app::kIntervalItems.size()]);
    },
    [](Harness &h, std::uint8_t) { h.messages.next = Answer::Ok; },
    [](Harness &h, std::uint8_t) { h.messages.next = Answer::Cancel; },
    [](Harness &h, std::uint8_t a) { // line-state changes and errors: any code but "received"
        h.fp.port.raise(a % 8 == platform::SerialPort::kReceiveEvent ? 8 : a % 8);
    },
    [](Harness &h, std::uint8_t) { press(h, "Link"); }, // the port closes or opens again
};
constexpr std::size_t kStepCount = sizeof kSteps / sizeof kSteps[0];
// Steps that read an argument byte.
constexpr bool takesArgument(std::size_t step) {
    return step == 11 || step == 14 || step == 15 || step == 18;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Harness h;
    std::span<const std::uint8_t> in(data, size);
    while (!in.empty()) {
        const std::uint8_t c = in.front();
        in = in.subspan(1);
        if (c < 0x80) {
            const std::size_t n = std::min<std::size_t>(c + 1u, in.size());
            h.fp.port.deliver({in.begin(), in.begin() + static_cast<std::ptrdiff_t>(n)});
            in = in.subspan(n);
            continue;
        }
        const std::size_t step = (c - 0x80u) % kStepCount;
        std::uint8_t arg = 0;
        if (takesArgument(step) && !in.empty()) {
            arg = in.front();
            in = in.subspan(1);
        }
        const bool dmm = h.form.el.DMMmode.checked();
        kSteps[step](h, arg);
        if (h.form.el.DMMmode.checked() != dmm) // a mode switch starts the count afresh
            h.run = 0;
        h.checkAlways();
    }
    return 0;
}
