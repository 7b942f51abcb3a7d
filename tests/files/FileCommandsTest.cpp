#include "files/DmmRecordFile.h"
#include "files/WaveformFiles.h"
#include "files/WaveformFormat.h"

#include "FileTestSupport.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
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
        form.v.MeterModelCode = 3;
        form.el.Text1.setText("Meter 7304 波形 sample ");
        form.wave.WaveDate = "2026-12-07";
        form.wave.WaveTime = "14:03";
        form.wave.DsoParam = {17, -12, 9, 3.5, 1, 0, -40, -7, 5};
        for (size_t i = 0; i < 256; ++i)
            form.wave.WaveData[i] = static_cast<double>(static_cast<int>(i % 29) - 14) * 1.25;
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

TEST_F(FileCommandsTest, SaveAndOpenRestoreTheWaveform) {
    const std::string path = savedFile("wave.dso");
    EXPECT_EQ(std::tuple(form.v.CurrentFileName, captions),
              std::tuple(path, std::vector<std::string>{path}));
    EXPECT_FALSE(form.el.Save.enabled() || form.el.menuSave.enabled());
    EXPECT_TRUE(fp.messages.shown.empty());

    const common::Waveform saved = form.wave;
    form.wave = common::Waveform{};
    form.v.MeterModelName = "QM520V";
    form.v.MeterModelCode = 0;
    form.v.CurrentFileName.clear();
    form.el.Save.setEnabled(true);
    form.el.menuSave.setEnabled(true);
    ASSERT_TRUE(files.FileOpen0(path));
    const auto &w = form.wave;
    EXPECT_EQ(std::tie(w.WaveTitle, w.WaveDate, w.WaveTime),
              std::tuple("Meter 7304 波形 sample ", saved.WaveDate, saved.WaveTime));
    EXPECT_TRUE(std::equal(w.DsoParam.begin(), w.DsoParam.begin() + 8, saved.DsoParam.begin()));
    EXPECT_TRUE(std::equal(w.WaveData.begin(), w.WaveData.begin() + 256, saved.WaveData.begin()));
    EXPECT_EQ(std::tuple(form.v.MeterModelName, form.v.MeterModelCode, form.v.CurrentFileName,
                         captions.back(), waveDraws),
              std::tuple("7304", 3, path, path, 1));
    EXPECT_FALSE(form.el.Save.enabled() || form.el.menuSave.enabled());
    for (auto *c : commandsOfAWaveform())
        EXPECT_TRUE(c->enabled());
    EXPECT_TRUE(form.wave.WaveValid);
    // In the spectrum view the spectrum is redrawn instead.
    form.el.DSO_wave.setChecked(false);
    ASSERT_TRUE(files.FileOpen0(path));
    EXPECT_EQ(std::pair(waveDraws, spectrumDraws), std::pair(1, 1));
}

TEST_F(FileCommandsTest, TxtHoldsTheSameAndSaveReusesTheCurrentName) {
    const std::string dso = savedFile("a.dso"), txt = dir.path("b.txt");
    fp.files.saveAnswers.push_back(txt);
    files.mnuSaveAs_Click();
    EXPECT_EQ(form.v.CurrentFileName, txt);
    EXPECT_EQ(test::readBytes(dso), test::readBytes(txt));
    EXPECT_EQ(test::readBytes(txt).substr(0, 19), "QVDATALINK47 V1.0\r\n");

    form.el.Text1.setText("new title");
    form.el.Save.setEnabled(true);
    files.menuSave_Click();
    EXPECT_EQ(fp.files.saveFilters.size(), 2u); // no dialog
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_NE(test::readBytes(txt).find("\r\nnew title\r\n"), std::string::npos);
    EXPECT_FALSE(form.el.Save.enabled());

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
    const std::string existing = dir.path("existing.txt");
    const struct {
        const char *what;
        std::optional<std::string> name;
        Answer answer; // to the replace question, when asked
        bool saved;
    } cases[] = {{"cancelled", std::nullopt, Answer::Ok, false},
                 {"empty name", std::string{}, Answer::Ok, false},
                 {"existing, Cancel", existing, Answer::Cancel, false},
                 {"missing folder", dir.path("missing/r.txt"), Answer::Ok, false},
                 {"folder in place of the file", dir.path(""), Answer::Ok, false},
                 {"existing, OK", existing, Answer::Ok, true}};
    const char *filters[] = {WaveformFiles::kSaveFilter, WaveformFiles::kSaveAsFilter,
                             DmmRecordFile::kFilter};
    for (int command = 0; command < 3; ++command) {
        for (const auto &c : cases) {
            test::writeBytes(existing, "old");
            fp.messages.shown.clear();
            fp.messages.answers = {c.answer};
            fp.files.saveAnswers = {c.name};
            form.v.CurrentFileName.clear();
            form.el.Save.setEnabled(true);
            captions.clear();
            if (command == 0)
                EXPECT_EQ(files.SaveFile(form.v.CurrentFileName), c.saved) << c.what;
            else if (command == 1)
                files.mnuSaveAs_Click();
            else
                EXPECT_EQ(record.SaveDMMRecord(), c.saved) << c.what;
            EXPECT_EQ(fp.files.saveFilters.back(), filters[command]);
            const bool asked = c.name && QFileInfo::exists(QString::fromStdString(*c.name));
            ASSERT_EQ(fp.messages.shown.size(), asked ? 1u : 0u) << c.what << command;
            if (asked) {
                const auto &m = fp.messages.shown[0];
                EXPECT_EQ(m.text, *c.name + " 已经存在。要替换它吗?");
                EXPECT_EQ(std::tuple(m.buttons, m.defaultButton, m.warning, m.title),
                          std::tuple(platform::Buttons::OkCancel, Answer::Cancel, true, ""));
            }
            EXPECT_EQ(test::readBytes(existing) == "old", !c.saved) << c.what << command;
            // A saved waveform takes the file's name; the DMM record leaves it alone.
            const bool named = c.saved && command < 2;
            EXPECT_EQ(std::tuple(form.v.CurrentFileName, form.el.Save.enabled(), captions.size()),
                      std::tuple(named ? existing : "", !named, named ? 1u : 0u))
                << c.what << command;
        }
    }
}

TEST_F(FileCommandsTest, RefusedFilesChangeNothing) {
    const std::string valid = test::readBytes(savedFile("valid.dso"));
    form.el.Save.setEnabled(true);
    size_t line101 = 0;
    for (int n = 0; n < 100; ++n)
        line101 = valid.find("\r\n", line101) + 2;
    const struct {
        std::string path;
        std::optional<std::string> bytes; // nullopt: no such file
        bool message;
    } cases[] = {{dir.path("blank.dso"), "QVDATALINK47 V1.0 " + valid.substr(17), true},
                 {dir.path("cut.dso"), valid.substr(0, line101), false},
                 {dir.path("missing.dso"), std::nullopt, false},
                 {dir.path(""), std::nullopt, false},
                 {"", std::nullopt, false}};
    const auto before = snapshot();
    for (const auto &c : cases) {
        if (c.bytes)
            test::writeBytes(c.path, *c.bytes);
        fp.messages.shown.clear();
        EXPECT_FALSE(files.FileOpen0(c.path)) << c.path;
        EXPECT_TRUE(snapshot() == before) << c.path;
        ASSERT_EQ(fp.messages.shown.size(), c.message ? 1u : 0u) << c.path;
        if (c.message) {
            EXPECT_EQ(fp.messages.shown[0].text, c.path + " 文件格式不正确");
        }
    }
    fp.files.openAnswers = {std::nullopt};
    files.FileOpen();
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
    EXPECT_EQ(std::tuple(w.DsoParam[0], w.DsoParam[2], w.WaveData[3]),
              std::tuple(1e300, 255, -1e300));
    // Entries the file does not hold are kept.
    EXPECT_EQ(std::pair(w.DsoParam[8], w.WaveData[256]), std::pair(5.0, 99.0));
}

TEST_F(FileCommandsTest, DroppedFiles) {
    const std::string path = savedFile("drop.dso"), other = dir.path("other.dso");
    test::writeBytes(other, test::readBytes(path));
    const struct {
        std::vector<std::string> paths;
        bool accepting;
        int opened;
    } cases[] = {{{path, other}, true, 0}, {{}, true, 0}, {{path}, false, 0}, {{path}, true, 1}};
    for (const auto &c : cases) {
        form.el.Picture1Drops.setChecked(c.accepting);
        const int draws = waveDraws;
        files.Picture1_OLEDragDrop(c.paths);
        EXPECT_EQ(waveDraws - draws, c.opened) << c.paths.size() << " " << c.accepting;
    }
}

// Saving under the current name: a failure, even half-way, is reported and leaves the file whole.
TEST_F(FileCommandsTest, FailedSaveUnderTheCurrentNameIsReported) {
    const std::string kept = savedFile("kept.dso"), folder = dir.path("folder.dso");
    const std::string old = test::readBytes(kept);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    form.el.Text1.setText("changed");
    captions.clear();
    for (const std::string &target : {dir.path("missing/wave.dso"), folder, kept}) {
        fp.messages.shown.clear();
        form.v.CurrentFileName = target;
        form.el.Save.setEnabled(true);
        form.el.menuSave.setEnabled(true);
        test::withFileSizeLimit(1000, [this] { files.menuSave_Click(); }); // the file takes 2 KB
        ASSERT_EQ(fp.messages.shown.size(), 1u) << target;
        const auto &m = fp.messages.shown[0];
        EXPECT_EQ(m.text.rfind(target + " 保存失败: ", 0), 0u) << m.text;
        EXPECT_GT(m.text.size(), target.size() + std::string(" 保存失败: ").size());
        EXPECT_TRUE(m.warning);
        EXPECT_TRUE(form.el.Save.enabled() && form.el.menuSave.enabled());
        EXPECT_EQ(form.v.CurrentFileName, target);
        EXPECT_TRUE(captions.empty());
    }
    EXPECT_EQ(test::readBytes(kept), old);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());
    EXPECT_EQ(QDir(QString::fromStdString(dir.path(""))).entryList(QDir::Files).size(), 1);
}

TEST_F(FileCommandsTest, DmmRecordIsWrittenByteForByteOrNotAtAll) {
    form.v.MeterModelName = "QM520V";
    form.v.CurrentFileName = "wave.dso";
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
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_EQ(std::tuple(form.v.CurrentFileName, form.el.Save.enabled(), captions.size()),
              std::tuple("wave.dso", true, 0u));

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
