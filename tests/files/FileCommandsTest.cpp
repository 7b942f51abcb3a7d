#include "files/DmmRecordFile.h"
#include "files/WaveformFiles.h"
#include "files/WaveformFormat.h"

#include "FileTestSupport.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <tuple>
#include <vector>

namespace qv::files {
namespace {

using platform::Answer;

class FileCommandsTest : public ::testing::Test {
  protected:
    FileCommandsTest() {
        form.v.MeterModelName = "7304";
        form.el.Text1.setText("Meter 7304 波形 sample ");
        form.wave.DsoParam = {17, -12, 9, 3.5, 1, 0, -40, -7, 5};
        form.wave.WaveData[256] = 99;
        form.el.DSO_wave.setChecked(true);
        form.el.Picture1Drops.setChecked(true);
        form.call.DSO_display = [this] { ++waveDraws; };
        form.call.FFT_Display = [this] { ++spectrumDraws; };
        form.call.CaptionChange = [this](const std::string &p) { captions.push_back(p); };
        for (auto *c : commandsOfAWaveform())
            c->setEnabled(false);
        form.el.Save.setEnabled(true);
        form.el.menuSave.setEnabled(true);
    }

    std::vector<common::Control *> commandsOfAWaveform() {
        auto &el = form.el;
        return {&el.Print,   &el.Copy,    &el.mnuPrint, &el.mnuSaveAs,
                &el.mnuCopy, &el.XCursor, &el.YCursor,  &el.DSO_FFT};
    }

    // Everything opening a file may change.
    auto snapshot() const {
        const auto &w = form.wave;
        return std::tuple(form.v.MeterModelName, form.v.MeterModelCode, form.v.CurrentFileName,
                          w.WaveTitle, w.WaveDate, w.WaveTime, w.DsoParam, w.WaveData,
                          captions.size(), waveDraws + spectrumDraws, form.el.Save.enabled());
    }

    std::string savedFile(const std::string &name) {
        fp.files.saveAnswers.push_back(dir.path(name));
        form.v.CurrentFileName.clear();
        EXPECT_TRUE(files.SaveFile(form.v.CurrentFileName));
        return dir.path(name);
    }

    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    WaveformFiles files{form};
    DmmRecordFile record{form};
    test::TempFolder dir;
    int waveDraws = 0, spectrumDraws = 0;
    std::vector<std::string> captions;
};

TEST_F(FileCommandsTest, TxtHoldsTheSameAndDmmModeSavesTheRecord) {
    const std::string dso = savedFile("a.dso"), txt = dir.path("b.txt");
    fp.files.saveAnswers.push_back(txt);
    files.mnuSaveAs_Click();
    EXPECT_EQ(test::readBytes(dso), test::readBytes(txt));
    EXPECT_NE(test::readBytes(txt).find("\r\nMeter 7304 波形 sample \r\n"), std::string::npos);

    // In DMM mode Save saves the DMM record instead.
    int records = 0;
    form.call.SaveDMMRecord = [&records] { return ++records > 0; };
    form.el.DMMmode.setChecked(true);
    form.v.CurrentFileName = dir.path("c.dso");
    files.menuSave_Click();
    EXPECT_EQ(records, 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.path("c.dso"))));
}

// Save without a current name, Save As and the DMM record: the dialog, the replace question, and
// failures that stay silent.
TEST_F(FileCommandsTest, SavingThroughADialog) {
    const std::string existing = dir.path("existing.txt"), unwritable = dir.path("missing/r.txt");
    // The name chosen, the answer to the replace question when asked, and whether it is saved.
    const std::tuple<std::optional<std::string>, Answer, bool> cases[] = {
        {std::nullopt, Answer::Ok, false},
        {existing, Answer::Cancel, false},
        {unwritable, Answer::Ok, false},
        {existing, Answer::Ok, true}};
    const char *filters[] = {WaveformFiles::kSaveFilter, WaveformFiles::kSaveAsFilter,
                             DmmRecordFile::kFilter};
    for (int command = 0; command < 3; ++command) {
        for (const auto &[name, answer, saved] : cases) {
            const std::string what = name.value_or("cancelled");
            test::writeBytes(existing, "old");
            fp.messages.shown.clear(), form.v.CurrentFileName.clear(), captions.clear();
            fp.messages.answers = {answer}, fp.files.saveAnswers = {name};
            form.el.Save.setEnabled(true);
            if (command == 0)
                EXPECT_EQ(files.SaveFile(form.v.CurrentFileName), saved) << what;
            else if (command == 1)
                files.mnuSaveAs_Click();
            else
                EXPECT_EQ(record.SaveDMMRecord(), saved) << what;
            EXPECT_EQ(fp.files.saveFilters.back(), filters[command]);
            const bool asked = name && QFileInfo::exists(QString::fromStdString(*name));
            const bool failed = name == unwritable;
            ASSERT_EQ(fp.messages.shown.size(), (asked ? 1u : 0u) + (failed ? 1u : 0u))
                << what << command;
            if (asked) {
                const auto &m = fp.messages.shown[0];
                EXPECT_EQ(std::tuple(m.text, m.buttons, m.defaultButton, m.warning, m.title),
                          std::tuple(*name + " 已经存在。要替换它吗?", platform::Buttons::OkCancel,
                                     Answer::Cancel, true, ""));
            }
            if (failed) { // a failed write says so, naming the file and the reason
                const auto &m = fp.messages.shown.back();
                EXPECT_TRUE(m.warning && m.text.rfind(unwritable + " 保存失败: ", 0) == 0)
                    << m.text;
            }
            EXPECT_EQ(test::readBytes(existing) == "old", !saved) << what << command;
            // A waveform takes the chosen name before it is written (a failed write leaves it
            // named, unsaved); the caption follows a saved one. The DMM record leaves all alone.
            const bool named = (saved || failed) && command < 2;
            const bool shown = saved && command < 2;
            EXPECT_EQ(std::tuple(form.v.CurrentFileName, form.el.Save.enabled(), captions.size()),
                      std::tuple(named ? *name : "", !shown, shown ? 1u : 0u))
                << what << command;
        }
    }
}

// A file the user may write in a folder where no new file can be made is still replaced.
TEST_F(FileCommandsTest, AWritableFileInALockedFolderIsReplaced) {
    const std::string folder = dir.path("locked"), path = dir.path("locked/wave.dso");
    QDir().mkpath(QString::fromStdString(folder));
    test::writeBytes(path, "old");
    if (!test::lockFolder(folder))
        GTEST_SKIP() << "no way to lock a folder here";
    fp.files.saveAnswers = {path};
    fp.messages.answers = {Answer::Ok};
    files.mnuSaveAs_Click();
    const std::string saved = test::readBytes(path);
    test::lockFolder(folder, false);
    EXPECT_EQ(saved.rfind("QVDATALINK47 V1.0\r\n", 0), 0u);
    ASSERT_EQ(fp.messages.shown.size(), 1u) << fp.messages.shown.back().text;
}

// A wrong header is reported, a short file refused silently, Cancel and an empty drop ignored.
TEST_F(FileCommandsTest, RefusedFilesChangeNothing) {
    const std::string valid = test::readBytes(savedFile("valid.dso"));
    form.el.Save.setEnabled(true);
    const std::string blank = dir.path("blank.dso"), cut = dir.path("cut.dso");
    test::writeBytes(blank, "QVDATALINK47 V1.0 " + valid.substr(17));
    test::writeBytes(cut, valid.substr(0, valid.size() / 2));
    const auto before = snapshot();
    EXPECT_FALSE(files.FileOpen0(blank));
    EXPECT_FALSE(files.FileOpen0(cut));
    fp.files.openAnswers = {std::nullopt};
    files.FileOpen();
    files.Picture1_OLEDragDrop({});
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, blank + " 文件格式不正确");
    EXPECT_TRUE(snapshot() == before);
}

TEST_F(FileCommandsTest, OpensForeignModelsWildValuesAndChineseTitles) {
    WaveformRecord r = test::sampleRecord();
    r.modelName = "ZORA900X";
    r.title = "\xb2\xe2\xca\xd4 \xb2\xa8\xd0\xce"; // GB18030, from a Chinese system
    r.params = {1e300, -1e300, 255, 1e300, 99, -5, 1e300, -1e300};
    r.samples.fill(1e300);
    r.samples[3] = -1e300;
    const std::string path = dir.path("wild.dso");
    test::writeBytes(path, WaveformFormat::compose(r));
    fp.files.openAnswers = {path};
    files.FileOpen();
    EXPECT_EQ(fp.files.openFilters.back(), WaveformFiles::kOpenFilter);
    const auto &w = form.wave;
    EXPECT_EQ(std::tuple(form.v.MeterModelCode, form.v.MeterModelName, w.WaveTitle, waveDraws),
              std::tuple(8, "ZORA900X", "测试 波形", 1));
    // The last two entries are not in a file and are kept.
    EXPECT_EQ(
        std::tuple(w.DsoParam[0], w.DsoParam[2], w.WaveData[3], w.DsoParam[8], w.WaveData[256]),
        std::tuple(1e300, 255, -1e300, 5, 99));
    EXPECT_EQ(std::tuple(form.v.CurrentFileName, captions.back(), form.el.menuSave.enabled()),
              std::tuple(path, path, false));
    for (auto *c : commandsOfAWaveform())
        EXPECT_TRUE(c->enabled());
    // In the spectrum view the spectrum is redrawn instead.
    form.el.DSO_wave.setChecked(false);
    ASSERT_TRUE(files.FileOpen0(path));
    EXPECT_EQ(std::pair(waveDraws, spectrumDraws), std::pair(1, 1));
}

// Saving under the current name: a failure, even half-way, is reported and leaves the file whole.
TEST_F(FileCommandsTest, FailedSaveUnderTheCurrentNameIsReported) {
    const std::string kept = savedFile("kept.dso"), old = test::readBytes(kept);
    form.el.Text1.setText("changed");
    captions.clear();
    for (const std::string &target : {dir.path("missing/wave.dso"), kept}) {
        fp.messages.shown.clear();
        form.v.CurrentFileName = target;
        form.el.Save.setEnabled(true);
        form.el.menuSave.setEnabled(true);
        test::withFileSizeLimit(1000, [this] { files.menuSave_Click(); }); // the file takes 2 KB
        ASSERT_EQ(fp.messages.shown.size(), 1u) << target;
        const auto &m = fp.messages.shown[0];
        EXPECT_TRUE(m.warning && m.text.rfind(target + " 保存失败: ", 0) == 0) << m.text;
        EXPECT_GT(m.text.size(), target.size() + std::string(" 保存失败: ").size()); // a reason
        EXPECT_EQ(std::tuple(form.el.Save.enabled(), form.el.menuSave.enabled(),
                             form.v.CurrentFileName, captions.size()),
                  std::tuple(true, true, target, 0u));
    }
    EXPECT_EQ(test::readBytes(kept), old);
    // Once it can be written, Save writes it again without a dialog.
    fp.messages.shown.clear();
    files.menuSave_Click();
    EXPECT_NE(test::readBytes(kept).find("\r\nchanged\r\n"), std::string::npos);
    EXPECT_EQ(
        std::tuple(form.el.Save.enabled(), fp.files.saveFilters.size(), fp.messages.shown.size()),
        std::tuple(false, 1u, 0u));
    EXPECT_EQ(QDir(QString::fromStdString(dir.path(""))).entryList(QDir::Files).size(), 1);
}

TEST_F(FileCommandsTest, DmmRecordIsWrittenByteForByteOrNotAtAll) {
    form.v.MeterModelName = "QM520V";
    const std::string head = "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\nQM520V DMM Record: ";
    const struct {
        std::string title, log, expected;
    } cases[] = {{"", "", head + "\r\n\r\n\r\n"},
                 {"Bench 3", "1: 12.34 V\r\n2: 12.35 V\r\n",
                  head + "Bench 3\r\n\r\n1: 12.34 V\r\n2: 12.35 V\r\n\r\n"},
                 {"电源测试", "0001  3.300 V\r\n", // UTF-8 is this system's code page
                  head + "电源测试\r\n\r\n0001  3.300 V\r\n\r\n"}};
    const std::string path = dir.path("record.txt");
    for (const auto &c : cases) {
        std::remove(path.c_str());
        form.el.Text1.setText(c.title);
        form.el.RichTextBox1.setText(c.log);
        fp.files.saveAnswers = {path};
        EXPECT_TRUE(record.SaveDMMRecord()) << c.title;
        EXPECT_EQ(test::readBytes(path), c.expected) << c.title;
    }
    // A save failing half-way keeps the old file.
    form.el.RichTextBox1.setText(std::string(5000, 'x') + "\r\n");
    fp.files.saveAnswers = {path};
    fp.messages.answers = {Answer::Ok};
    bool saved = true;
    test::withFileSizeLimit(1000, [&] { saved = record.SaveDMMRecord(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::readBytes(path), cases[2].expected);
}

} // namespace
} // namespace qv::files
