#include "app/qt/MeasurementsPanel.h"
#include "dso/ReferenceTrace.h"
#include "link/MeterSimulator.h"
#include "tests/DisplayText.h"
#include "tests/TestFiles.h"
#include "tests/app/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

namespace qv::app::qt {
namespace {

/// The first line of that colour; null for none.
const common::LineOp *lineOf(const common::DisplayList &ops, common::Rgb colour) {
    for (const auto &op : ops)
        if (const auto *l = std::get_if<common::LineOp>(&op); l && l->color == colour)
            return l;
    return nullptr;
}

/// The window in DSO mode, fed frames of the virtual meter.
class ScopeWindowTest : public WindowFixture {
  protected:
    link::MeterSimulator meter{{.mode = link::SimMode::Dso, .seed = 3, .timeBaseTour = 1}};

    void SetUp() override {
        fp.port.ports[1].cable = true;
        program.Form_Load();
        program.commands().pressButton("DSOmode");
        window.show();
    }
    void frames(int n) { fp.port.deliver(meter.nextBytes(std::size_t(20 * 17 * n))); }
    void trigger(const char *name) {
        QAction *a = window.action(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    /// The frame shown as screen, page, clipboard, saved file and CSV.
    std::string outputs() {
        fp.printer.pages.clear();
        program.commands().clickMenu("mnuPrint");
        program.commands().clickMenu("mnuCopy");
        fp.files.saveAnswers = {path("out.dso")};
        program.commands().clickMenu("mnuSaveAs");
        return test::listed(el.Picture1.ops()) + "|" +
               (fp.printer.pages.empty() ? "" : test::listed(fp.printer.pages.back()->ops())) +
               "|" + test::listed(*fp.clipboard.image) + "|" + test::contents(path("out.dso")) +
               "|" + program.exports().waveformCsv();
    }
};

TEST_F(ScopeWindowTest, StoppedTheWindowStepsThroughTheFramesAndSavesTheOneShown) {
    frames(3);
    fp.port.raise(platform::SerialPort::kReceiveEvent); // nothing to read: no frame again
    const dso::FrameHistory &history = program.frames().history();
    ASSERT_EQ(history.size(), 3u);
    ASSERT_NE(history.at(0).wave.WaveData, history.at(2).wave.WaveData);
    EXPECT_FALSE(window.action("mnuPreviousFrame")->isEnabled()) << "only while stopped";

    program.commands().clickMenu("mnuPause");
    const std::string live = el.panel[3].text();
    // Page Up twice, even in the title box: the first frame; Next, in the spectrum: the second.
    QApplication::setActiveWindow(&window);
    auto *title = window.findChild<QLineEdit *>();
    title->setFocus();
    QTest::keyClick(title, Qt::Key_PageUp);
    QTest::keyClick(title, Qt::Key_PageUp);
    EXPECT_EQ(std::tuple(form.wave.WaveData == history.at(0).wave.WaveData, el.panel[3].text(),
                         window.action("mnuPreviousFrame")->isEnabled()),
              std::tuple(true, "帧 1/3, " + fp.clock.timeLong, false));
    program.commands().pressButton("DSO_FFT");
    trigger("mnuNextFrame");
    EXPECT_TRUE(form.wave.WaveData == history.at(1).wave.WaveData &&
                window.action("mnuNextFrame")->isEnabled()); // one newer frame left
    EXPECT_TRUE(lineOf(el.Picture1.ops(), common::kRed)) << "the spectrum of frame 2";
    program.commands().pressButton("DSO_wave");

    // Save As writes the frame shown.
    fp.files.saveAnswers = {path("older.dso")};
    program.commands().clickMenu("mnuSaveAs");
    const auto saved =
        files::WaveformFormat::parse(test::contents(path("older.dso"))).record.samples;
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), history.at(1).wave.WaveData.begin()));

    // Starting again returns to the newest frame and the panel's own text.
    program.commands().clickMenu("mnuStart");
    EXPECT_EQ(std::tuple(form.wave.WaveData == history.at(2).wave.WaveData, el.panel[3].text(),
                         program.frames().position().has_value()),
              std::tuple(true, live, false));

    // Stepping again, a waveform file opened leaves the frames: the panel's own text again.
    program.commands().clickMenu("mnuPause");
    trigger("mnuPreviousFrame");
    EXPECT_EQ(form.v.CurrentFileName, "") << "a frame from the meter, in no file";
    files::WaveformRecord other{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03"};
    other.params = {13, 0, 7, 0, 1, 1, 0, 0};
    std::ofstream(path("other.dso"), std::ios::binary) << files::WaveformFormat::compose(other);
    fp.files.openAnswers = {path("other.dso")};
    program.commands().clickMenu("menuOpen");
    EXPECT_EQ(std::pair(el.panel[3].text(), program.frames().position().has_value()),
              std::pair(live, false));
}

TEST_F(ScopeWindowTest, TheReferenceIsDrawnUnderTheTracePrintedCopiedKeptAndCleared) {
    const std::string store = path("reference.dso");
    program.reference().setStore(store);
    frames(1);
    program.commands().pressButton("DSO_FFT"); // kept from the spectrum, its title typed over
    el.Text1.setText("bench 3");
    trigger("mnuKeepReference");
    program.commands().pressButton("DSO_wave");
    frames(1);
    // Under the live trace (its lines, in copy mode, before the first blue one), with its label.
    const std::string screen = test::listed(el.Picture1.ops());
    EXPECT_LT(screen.find(",009600,1,0,0\n"), screen.find(",0000ff,1,0,0\n"));
    EXPECT_NE(screen.find(",REF "), std::string::npos) << "the label, with its scales";
    // It follows the live trace's vertical position: 10 units down, 400 twips lower.
    const double before = lineOf(el.Picture1.ops(), dso::kReferenceColor)->y2;
    form.wave.DsoParam[3] -= 10;
    program.commands().pressButton("DSO_wave");
    EXPECT_EQ(lineOf(el.Picture1.ops(), dso::kReferenceColor)->y2 - before, 400);
    (void)outputs();
    EXPECT_TRUE(lineOf(fp.printer.pages.back()->ops(), dso::kReferenceColor));
    EXPECT_TRUE(lineOf(*fp.clipboard.image, dso::kReferenceColor));
    EXPECT_EQ(test::contents(store).substr(0, 17), "QVDATALINK47 V1.0");

    { // the next run takes it up again
        platform::fakes::FakePlatform fp2;
        Program next(fp2.platform);
        next.reference().setStore(store);
        next.reference().load();
        ASSERT_TRUE(next.reference().reference());
        const common::Waveform &kept = next.reference().reference()->wave;
        EXPECT_EQ(
            std::pair(kept.WaveData, kept.WaveTitle),
            std::pair(program.frames().history().at(0).wave.WaveData, std::string("bench 3")));
    }
    std::filesystem::copy_file(store, path("kept.dso"));
    trigger("mnuClearReference");
    EXPECT_FALSE(lineOf(el.Picture1.ops(), dso::kReferenceColor) || std::filesystem::exists(store));
    // Not a waveform: reported, nothing changes; a waveform: taken, drawn, kept for the next run.
    fp.files.openAnswers = {path("missing.dso"), path("kept.dso")};
    trigger("mnuOpenReference");
    EXPECT_EQ(std::tuple(fp.messages.shown.size(), bool(program.reference().reference())),
              std::tuple(1u, false));
    trigger("mnuOpenReference");
    EXPECT_EQ(std::tuple(bool(lineOf(el.Picture1.ops(), dso::kReferenceColor)),
                         test::contents(store) == test::contents(path("kept.dso"))),
              std::tuple(true, true));
    // A store that cannot be written: said so.
    program.reference().setStore(path("none/reference.dso"));
    trigger("mnuKeepReference");
    EXPECT_EQ(fp.messages.shown.size(), 2u);
}

TEST_F(ScopeWindowTest, WithNothingTurnedOnEveryOutputIsAsBefore) {
    frames(2);
    program.commands().clickMenu("mnuPause");
    // Digests of what both views gave before the history, the reference and the peak readout.
    const std::size_t wave = std::hash<std::string>{}(outputs());
    program.commands().pressButton("DSO_FFT");
    const std::size_t spectrum = std::hash<std::string>{}(outputs());
    EXPECT_EQ(std::tuple(wave, spectrum),
              std::tuple(9420807572908009302ull, 11473023448081502580ull));
    trigger("mnuPeakReadout"); // the peak readout, on and off again
    EXPECT_NE(test::listed(el.Picture1.ops()).find(",Peak: "), std::string::npos);
    trigger("mnuPeakReadout");
    EXPECT_EQ(std::hash<std::string>{}(outputs()), spectrum);
}

TEST_F(ScopeWindowTest, TheMeasurementsWindowFollowsTheFrameShown) {
    trigger("mnuMeasurements");
    MeasurementsPanel *panel = window.measurementsPanel();
    ASSERT_TRUE(panel->isVisible());
    QTableWidget *table = panel->table();
    EXPECT_EQ(table->item(0, 1)->text() + "|" + table->item(0, 1)->toolTip(),
              QStringLiteral("—|没有波形"));
    frames(1);
    const auto row = [&](int r) { return table->item(r, 1)->text().toStdString(); };
    EXPECT_TRUE(row(0) != "—" && row(6) != "—") << "the maximum and the demo's frequency";
    const QPoint at = panel->pos(); // it moves along with the main window
    window.move(window.pos() + QPoint(30, 20));
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->pos(), at + QPoint(30, 20));
}

} // namespace
} // namespace qv::app::qt
