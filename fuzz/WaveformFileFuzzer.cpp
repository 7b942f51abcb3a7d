// The waveform file: any bytes opened by the Open command over a waveform on screen. A refused file
// leaves the screen as it was (a wrong header or model name with its message); an accepted one is
// shown with every coordinate in range, and writes and reads back to the same file.
#include "FuzzCheck.h"
#include "app/Program.h"
#include "files/WaveformFormat.h"
#include "platform/fakes/FakePlatform.h"

#include <fstream>

namespace {

using namespace qv;
using files::WaveformFormat;

std::string tempPath(const char *name) {
    return "/tmp/qvlink-fuzz-" + std::to_string(getpid()) + "-" + name;
}

// The waveform on screen before the open: a file of this program's own making.
const std::string &baseline() {
    static const std::string path = [] {
        files::WaveformRecord r{"7304", -1, "Meter 7304 DSO sample ", "2026-12-07", "14:03"};
        r.params = {17, -12, 9, 3.5, 1, 0, -40, -7};
        for (std::size_t i = 0; i < r.samples.size(); ++i)
            r.samples[i] = static_cast<double>(static_cast<int>(i % 37) - 18) / 4.0;
        const std::string p = tempPath("baseline.dso");
        std::ofstream(p, std::ios::binary) << WaveformFormat::compose(r);
        // libFuzzer ends a timed run with exit(): leave no files behind in /tmp.
        std::atexit([] {
            std::remove(tempPath("baseline.dso").c_str());
            std::remove(tempPath("input.dso").c_str());
        });
        return p;
    }();
    return path;
}

// What a refused open must leave alone, as one text: the numbers bytewise (so that NaN equals
// itself), the texts, how much the screen holds and whether Save is enabled.
std::string screen(const common::Form &f) {
    const common::Waveform &w = f.wave;
    std::string s(reinterpret_cast<const char *>(w.DsoParam.data()), sizeof w.DsoParam);
    s.append(reinterpret_cast<const char *>(w.WaveData.data()), sizeof w.WaveData);
    for (const std::string *t : {&w.WaveTitle, &w.WaveDate, &w.WaveTime, &f.el.Text1.text(),
                                 &f.el.caption.text(), &f.v.CurrentFileName, &f.v.MeterModelName})
        s += "|" + *t;
    return s + "|" + std::to_string(f.el.Picture1.ops().size()) + "|" +
           (f.el.Save.enabled() ? "save" : "");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const auto parsed = WaveformFormat::parse(bytes);
    const auto &r = parsed.record;
    const bool ok = parsed.status == WaveformFormat::Status::Ok;
    if (ok) {
        FUZZ_CHECK(r.modelCode >= 0 && r.modelCode <= 8, "model code outside the table");
        // What was accepted saves and reads back to the same file.
        const std::string saved = WaveformFormat::compose(r);
        const auto again = WaveformFormat::parse(saved);
        FUZZ_CHECK(again.status == WaveformFormat::Status::Ok, "a saved file is refused");
        FUZZ_CHECK(WaveformFormat::compose(again.record) == saved, "save and open disagree");
    }

    // One program for the whole run; before each input it shows the baseline waveform in the
    // view the input asks for (odd sizes: the spectrum), so every input meets the same screen.
    static platform::fakes::FakePlatform fp;
    static app::Program program(fp.platform);
    static bool shown = false;
    common::Form &form = program.form();
    if (!shown) {
        program.Form_Load();
        program.commands().pressButton("DSOmode");
    }
    if (form.v.CurrentFileName != baseline()) {
        fp.files.openAnswers.push_back(baseline());
        program.commands().pressButton("Open");
        FUZZ_CHECK(form.v.CurrentFileName == baseline(), "the baseline file did not open");
    }
    const bool spectrum = size % 2 == 1;
    if (form.el.DSO_FFT.checked() != spectrum)
        program.commands().pressButton(spectrum ? "DSO_FFT" : "DSO_wave");
    shown = true;

    const std::string path = tempPath("input.dso");
    std::ofstream(path, std::ios::binary) << bytes;
    const std::string before = screen(form);
    fp.messages.shown.clear();
    fp.files.openAnswers.push_back(path);
    program.commands().pressButton("Open");

    FUZZ_CHECK(!fp.messages.shown.empty() == (parsed.status == WaveformFormat::Status::WrongFormat),
               "the format message and the reader disagree");
    FUZZ_CHECK(ok || screen(form) == before, "a refused file changed the screen");
    FUZZ_CHECK(!ok || (form.v.CurrentFileName == path && form.wave.WaveValid),
               "an accepted file not shown");
    FUZZ_CHECK(!ok || form.v.MeterModelCode == r.modelCode, "model code not taken");
    fuzz::checkSurface(form.el.Picture1); // of the file shown, or of the screen left as it was
    return 0;
}
