#include "app/Program.h"
#include "link/MeterSimulator.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>

namespace qv::app {
namespace {

// A display list as text, so two drawings can be compared whole.
std::string describe(const common::DisplayList &ops) {
    std::ostringstream out;
    for (const common::DrawOp &op : ops) {
        if (const auto *l = std::get_if<common::LineOp>(&op))
            out << "L" << l->x1 << "," << l->y1 << "," << l->x2 << "," << l->y2 << ","
                << int(l->color.r) << int(l->color.g) << int(l->color.b) << "\n";
        else if (const auto *t = std::get_if<common::TextOp>(&op))
            out << "T" << t->x << "," << t->y << "," << t->text << "\n";
    }
    return out.str();
}

class WaveformRoundTrip : public ::testing::Test {
  protected:
    platform::fakes::FakePlatform fp;
    Program program{fp.platform};
    common::Form &form = program.form();
    // One folder per test: the tests run in processes of their own, side by side.
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("qvlink-roundtrip-" + std::to_string(getpid()));

    void SetUp() override {
        std::filesystem::create_directories(dir);
        fp.port.ports[1].cable = true;
        program.Form_Load();
        program.commands().pressButton("DSOmode");
        // Two frames at the model's 2x reconstruction.
        link::MeterSimulator meter({.mode = link::SimMode::Dso, .dso = {.timeBase = 24}});
        fp.port.deliver(meter.nextBytes(20 * 17 * 2));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(WaveformRoundTrip, SavedWaveformOpensToTheSameScreen) {
    ASSERT_TRUE(form.wave.WaveValid);
    const std::string screen = describe(form.el.Picture1.ops());
    const double rms = program.measurements().MeasRms;
    const std::string path = (dir / "wave1.dso").string();

    fp.files.saveAnswers.push_back(path);
    program.commands().clickMenu("mnuSaveAs");
    EXPECT_EQ(form.el.caption.text(), "wave1.dso - QVLINK");

    form.wave.WaveData.fill(0);
    form.el.Picture1.clear();
    fp.files.openAnswers.push_back(path);
    program.commands().clickMenu("menuOpen");
    EXPECT_EQ(describe(form.el.Picture1.ops()), screen);
    EXPECT_EQ(program.measurements().MeasRms, rms);
}

TEST_F(WaveformRoundTrip, DropsOpenOnlyOneFileWhileStopped) {
    const std::string path = (dir / "wave2.dso").string();
    fp.files.saveAnswers.push_back(path);
    program.commands().clickMenu("mnuSaveAs");
    const std::string title = form.wave.WaveTitle;
    form.wave.WaveTitle = "changed";

    program.Picture1_OLEDragDrop({path});
    EXPECT_EQ(form.wave.WaveTitle, "changed") << "running: the screen takes no drops";
    program.commands().pressButton("StartStop");
    program.Picture1_OLEDragDrop({path, path});
    EXPECT_EQ(form.wave.WaveTitle, "changed") << "two files open nothing";
    program.Picture1_OLEDragDrop({path});
    EXPECT_EQ(form.wave.WaveTitle, title);
    program.commands().pressButton("DMMmode"); // stopped drops stay on, but the screen is off
    form.v.CurrentFileName.clear();
    program.Picture1_OLEDragDrop({path});
    EXPECT_EQ(form.v.CurrentFileName, "") << "a disabled screen takes no drops";
}

TEST_F(WaveformRoundTrip, PrintAndCopyTakeTheCurrentView) {
    fp.printer.copies = 2;
    program.commands().clickMenu("mnuPrint");
    ASSERT_EQ(fp.printer.pages.size(), 2u);
    EXPECT_NE(describe(fp.printer.pages[0]->ops()).find("Wave of Meter QM520V"), std::string::npos);

    program.commands().pressButton("DSO_FFT");
    program.commands().clickMenu("mnuCopy");
    ASSERT_TRUE(fp.clipboard.image.has_value());
    EXPECT_EQ(describe(*fp.clipboard.image), describe(form.el.Picture1.ops()));
}

} // namespace
} // namespace qv::app
