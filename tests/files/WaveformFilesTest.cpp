#include "files/WaveformFiles.h"

#include "files/WaveformFormat.h"

#include "FileTestSupport.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <QDir>

#include <string>
#include <vector>

namespace qv::files {
namespace {

using platform::Answer;

class WaveformFilesTest : public ::testing::Test {
  protected:
    WaveformFilesTest() {
        form.v.MeterModelName = "7304";
        form.v.MeterModelCode = 3;
        form.el.Text1.setText("Meter 7304 DSO sample ");
        form.wave.WaveTitle = "Meter 7304 DSO sample ";
        form.wave.WaveDate = "2026-12-07";
        form.wave.WaveTime = "14:03";
        form.wave.DsoParam = {17, -12, 9, 3.5, 1, 0, -40, -7, 5};
        for (size_t i = 0; i < 256; ++i)
            form.wave.WaveData[i] = static_cast<double>(static_cast<int>(i % 29) - 14) * 1.25;
        form.wave.WaveData[256] = 99;
        form.wave.WaveValid = true;
        form.el.DSO_wave.setChecked(true);
        form.el.Picture1Drops.setChecked(true);
        form.call.DSO_display = [this] { ++waveDraws; };
        form.call.FFT_Display = [this] { ++spectrumDraws; };
        form.call.CaptionChange = [this](const std::string &p) { captions.push_back(p); };
        for (auto *c : {&form.el.Save, &form.el.menuSave, &form.el.Print, &form.el.Copy,
                        &form.el.mnuPrint, &form.el.mnuSaveAs, &form.el.mnuCopy, &form.el.XCursor,
                        &form.el.YCursor, &form.el.DSO_FFT})
            c->setEnabled(false);
        form.el.Save.setEnabled(true);
        form.el.menuSave.setEnabled(true);
    }

    // Everything opening a file may change, to compare before and after.
    struct Snapshot {
        std::string model, title, date, time, current;
        int code;
        common::Waveform wave;
        size_t captions;
        int draws;
        bool operator==(const Snapshot &o) const {
            return model == o.model && code == o.code && title == o.title && current == o.current &&
                   wave.DsoParam == o.wave.DsoParam && wave.WaveData == o.wave.WaveData &&
                   wave.WaveTitle == o.wave.WaveTitle && wave.WaveDate == o.wave.WaveDate &&
                   wave.WaveTime == o.wave.WaveTime && captions == o.captions && draws == o.draws;
        }
    };
    Snapshot snapshot() const {
        return {
            form.v.MeterModelName,    form.wave.WaveTitle,   form.wave.WaveDate, form.wave.WaveTime,
            form.v.CurrentFileName,   form.v.MeterModelCode, form.wave,          captions.size(),
            waveDraws + spectrumDraws};
    }

    std::string savedFile(const std::string &name) {
        const std::string path = dir.path(name);
        fp.files.saveAnswers.push_back(path);
        form.v.CurrentFileName.clear();
        EXPECT_TRUE(files.SaveFile(form.v.CurrentFileName));
        return path;
    }

    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    WaveformFiles files{form};
    test::TempFolder dir;
    int waveDraws = 0, spectrumDraws = 0;
    std::vector<std::string> captions;
};

TEST_F(WaveformFilesTest, SaveAndOpenRestoreTheWaveform) {
    const std::string path = savedFile("wave.dso");
    EXPECT_EQ(fp.files.saveFilters.back(), WaveformFiles::kSaveFilter);
    EXPECT_EQ(form.v.CurrentFileName, path);
    EXPECT_EQ(captions, std::vector<std::string>{path});
    EXPECT_FALSE(form.el.Save.enabled());
    EXPECT_FALSE(form.el.menuSave.enabled());
    EXPECT_TRUE(fp.messages.shown.empty());

    const common::Waveform before = form.wave;
    form.wave = common::Waveform{};
    form.v.MeterModelName = "QM520V";
    form.v.CurrentFileName.clear();
    form.el.Save.setEnabled(true);
    ASSERT_TRUE(files.FileOpen0(path));

    EXPECT_EQ(form.wave.WaveTitle, "Meter 7304 DSO sample ");
    EXPECT_EQ(form.wave.WaveDate, before.WaveDate);
    EXPECT_EQ(form.wave.WaveTime, before.WaveTime);
    for (size_t k = 0; k < 8; ++k)
        EXPECT_EQ(form.wave.DsoParam[k], before.DsoParam[k]) << k;
    for (size_t i = 0; i < 256; ++i)
        EXPECT_EQ(form.wave.WaveData[i], before.WaveData[i]) << i;
    EXPECT_EQ(form.v.MeterModelName, "7304");
    EXPECT_EQ(form.v.MeterModelCode, 3);
    EXPECT_EQ(form.v.CurrentFileName, path);
    EXPECT_EQ(captions.back(), path);
    EXPECT_EQ(waveDraws, 1);
    EXPECT_FALSE(form.el.Save.enabled());
    EXPECT_FALSE(form.el.menuSave.enabled());
    for (auto *c : {&form.el.Print, &form.el.Copy, &form.el.mnuPrint, &form.el.mnuSaveAs,
                    &form.el.mnuCopy, &form.el.XCursor, &form.el.YCursor, &form.el.DSO_FFT})
        EXPECT_TRUE(c->enabled());
    EXPECT_TRUE(form.wave.WaveValid);
}

TEST_F(WaveformFilesTest, TheSpectrumViewRedrawsTheSpectrum) {
    const std::string path = savedFile("wave.dso");
    form.el.DSO_wave.setChecked(false);
    ASSERT_TRUE(files.FileOpen0(path));
    EXPECT_EQ(waveDraws, 0);
    EXPECT_EQ(spectrumDraws, 1);
}

TEST_F(WaveformFilesTest, TxtAndDsoHoldTheSameContent) {
    const std::string dso = savedFile("a.dso");
    fp.files.saveAnswers.push_back(dir.path("b.txt"));
    files.mnuSaveAs_Click();
    EXPECT_EQ(fp.files.saveFilters.back(), WaveformFiles::kSaveAsFilter);
    EXPECT_EQ(form.v.CurrentFileName, dir.path("b.txt"));
    EXPECT_EQ(test::readBytes(dso), test::readBytes(dir.path("b.txt")));
    EXPECT_EQ(test::readBytes(dso).substr(0, 19), "QVDATALINK47 V1.0\r\n");
}

TEST_F(WaveformFilesTest, SaveWritesToTheCurrentFileWithoutAsking) {
    const std::string path = savedFile("wave.dso");
    form.el.Text1.setText("new title");
    form.el.Save.setEnabled(true);
    files.menuSave_Click();
    EXPECT_EQ(fp.files.saveFilters.size(), 1u);
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_NE(test::readBytes(path).find("\r\nnew title\r\n"), std::string::npos);
    EXPECT_FALSE(form.el.Save.enabled());
}

TEST_F(WaveformFilesTest, SaveInDmmModeSavesTheRecord) {
    int records = 0;
    form.call.SaveDMMRecord = [&records] { return ++records > 0; };
    form.el.DMMmode.setChecked(true);
    form.v.CurrentFileName = dir.path("wave.dso");
    files.menuSave_Click();
    EXPECT_EQ(records, 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.path("wave.dso"))));
}

TEST_F(WaveformFilesTest, ReplacingAFileIsAskedFirst) {
    const std::string path = dir.path("old.dso");
    test::writeBytes(path, "old content");
    const struct {
        Answer answer;
        bool replaced;
    } cases[] = {{Answer::Cancel, false}, {Answer::Ok, true}};
    for (const auto &c : cases) {
        test::writeBytes(path, "old content");
        fp.messages.shown.clear();
        fp.messages.answers = {c.answer};
        fp.files.saveAnswers.push_back(path);
        form.v.CurrentFileName.clear();
        EXPECT_EQ(files.SaveFile(form.v.CurrentFileName), c.replaced);
        ASSERT_EQ(fp.messages.shown.size(), 1u);
        const auto &m = fp.messages.shown[0];
        EXPECT_EQ(m.text, path + " 已经存在。要替换它吗?");
        EXPECT_EQ(m.buttons, platform::Buttons::OkCancel);
        EXPECT_EQ(m.defaultButton, Answer::Cancel);
        EXPECT_TRUE(m.warning);
        EXPECT_EQ(m.title, "");
        EXPECT_EQ(test::readBytes(path) == "old content", !c.replaced);
        EXPECT_EQ(form.v.CurrentFileName, c.replaced ? path : "");
    }
}

TEST_F(WaveformFilesTest, CancelledDialogsChangeNothing) {
    const Snapshot before = snapshot();
    fp.files.saveAnswers = {std::nullopt, std::string{}};
    form.v.CurrentFileName.clear();
    EXPECT_FALSE(files.SaveFile(form.v.CurrentFileName));
    files.mnuSaveAs_Click();
    fp.files.openAnswers = {std::nullopt};
    files.FileOpen();
    EXPECT_EQ(fp.files.openFilters.back(), WaveformFiles::kOpenFilter);
    EXPECT_TRUE(snapshot() == before);
    EXPECT_TRUE(form.el.Save.enabled());
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(WaveformFilesTest, RefusedFilesChangeNothing) {
    const std::string valid = test::readBytes(savedFile("valid.dso"));
    form.el.Save.setEnabled(true);
    const auto replaceLine = [&valid](size_t lineStart, const std::string &text) {
        const size_t end = valid.find("\r\n", lineStart);
        return valid.substr(0, lineStart) + text + valid.substr(end);
    };
    size_t line101 = 0;
    for (int n = 0; n < 100; ++n)
        line101 = valid.find("\r\n", line101) + 2;
    const struct {
        const char *name;
        std::string bytes;
        bool message;
    } cases[] = {
        {"blank.dso", replaceLine(0, "QVDATALINK47 V1.0 "), true},
        {"lower.dso", replaceLine(19, "zora900x"), true},
        {"cut.dso", valid.substr(0, line101), false},
        {"huge.dso", replaceLine(line101, " 1e999 "), false},
        {"empty.dso", "", false},
    };
    for (const auto &c : cases) {
        const std::string path = dir.path(c.name);
        test::writeBytes(path, c.bytes);
        fp.messages.shown.clear();
        form.v.CurrentFileName = "previous.dso";
        form.wave.WaveTitle = "previous";
        const Snapshot before = snapshot();
        EXPECT_FALSE(files.FileOpen0(path)) << c.name;
        EXPECT_TRUE(snapshot() == before) << c.name;
        EXPECT_TRUE(form.el.Save.enabled()) << c.name;
        ASSERT_EQ(fp.messages.shown.size(), c.message ? 1u : 0u) << c.name;
        if (c.message) {
            EXPECT_EQ(fp.messages.shown[0].text, path + " 文件格式不正确");
        }
    }
    // No file, a folder, an empty name: silent.
    for (const std::string &path : {dir.path("missing.dso"), dir.path(""), std::string{}}) {
        const Snapshot before = snapshot();
        EXPECT_FALSE(files.FileOpen0(path)) << path;
        EXPECT_TRUE(snapshot() == before) << path;
    }
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(WaveformFilesTest, ModelNamesAreComparedExactly) {
    WaveformRecord r;
    r.modelName = "ZORA900X";
    const std::string path = dir.path("zora.dso");
    test::writeBytes(path, WaveformFormat::compose(r));
    fp.files.openAnswers = {path};
    files.FileOpen();
    EXPECT_EQ(form.v.MeterModelCode, 8);
    EXPECT_EQ(form.v.MeterModelName, "ZORA900X");
}

TEST_F(WaveformFilesTest, ValuesOutsideEveryTableOpen) {
    WaveformRecord r = test::sampleRecord();
    r.params = {1e300, -1e300, 255, 1e300, 99, -5, 1e300, -1e300};
    r.samples.fill(1e300);
    r.samples[3] = -1e300;
    const std::string path = dir.path("wild.dso");
    test::writeBytes(path, WaveformFormat::compose(r));
    ASSERT_TRUE(files.FileOpen0(path));
    EXPECT_EQ(form.wave.DsoParam[0], 1e300);
    EXPECT_EQ(form.wave.DsoParam[2], 255);
    EXPECT_EQ(form.wave.WaveData[3], -1e300);
    EXPECT_EQ(form.wave.DsoParam[8], 5); // not stored in the file, kept
    EXPECT_EQ(form.wave.WaveData[256], 99);
}

TEST_F(WaveformFilesTest, TitlesFromChineseSystemsAreRead) {
    WaveformRecord r = test::sampleRecord();
    const struct {
        std::string titleBytes; // as stored in the file
        std::string title;      // as read
    } cases[] = {
        {"\xb2\xe2\xca\xd4 \xb2\xa8\xd0\xce", "测试 波形"}, // GB18030
        {"测试 波形", "测试 波形"},                         // UTF-8
        {"Meter 7304", "Meter 7304"},
    };
    const std::string path = dir.path("title.dso");
    for (const auto &c : cases) {
        r.title = c.titleBytes;
        test::writeBytes(path, WaveformFormat::compose(r));
        ASSERT_TRUE(files.FileOpen0(path));
        EXPECT_EQ(form.wave.WaveTitle, c.title);
    }
}

TEST_F(WaveformFilesTest, DroppedFiles) {
    const std::string path = savedFile("drop.dso");
    const std::string other = dir.path("other.dso");
    test::writeBytes(other, test::readBytes(path));
    const struct {
        std::vector<std::string> paths;
        bool accepting;
        int opened;
    } cases[] = {
        {{path, other}, true, 0},
        {{}, true, 0},
        {{path}, false, 0},
        {{path}, true, 1},
    };
    for (const auto &c : cases) {
        form.el.Picture1Drops.setChecked(c.accepting);
        const int draws = waveDraws;
        files.Picture1_OLEDragDrop(c.paths);
        EXPECT_EQ(waveDraws - draws, c.opened) << c.paths.size() << " " << c.accepting;
    }
}

TEST_F(WaveformFilesTest, FailedSaveUnderTheCurrentNameIsReported) {
    const std::string folderAsFile = dir.path("folder.dso");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folderAsFile)));
    for (const std::string &target : {dir.path("missing/wave.dso"), folderAsFile}) {
        fp.messages.shown.clear();
        captions.clear();
        form.v.CurrentFileName = target;
        form.el.Save.setEnabled(true);
        form.el.menuSave.setEnabled(true);
        files.menuSave_Click();
        ASSERT_EQ(fp.messages.shown.size(), 1u) << target;
        const auto &m = fp.messages.shown[0];
        EXPECT_EQ(m.text.rfind(target + " 保存失败: ", 0), 0u) << m.text;
        EXPECT_GT(m.text.size(), target.size() + std::string(" 保存失败: ").size());
        EXPECT_TRUE(m.warning);
        EXPECT_TRUE(form.el.Save.enabled());
        EXPECT_TRUE(form.el.menuSave.enabled());
        EXPECT_EQ(form.v.CurrentFileName, target);
        EXPECT_TRUE(captions.empty());
    }
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folderAsFile)).isDir());
}

TEST_F(WaveformFilesTest, FailedSavesThroughADialogAreSilent) {
    const std::string target = dir.path("missing/wave.dso");
    fp.files.saveAnswers = {target, target};
    form.v.CurrentFileName.clear();
    EXPECT_FALSE(files.SaveFile(form.v.CurrentFileName));
    files.mnuSaveAs_Click();
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_EQ(form.v.CurrentFileName, "");
    EXPECT_TRUE(form.el.Save.enabled());
}

TEST_F(WaveformFilesTest, ASaveFailingHalfWayKeepsTheOldFile) {
    const std::string path = savedFile("keep.dso");
    const std::string old = test::readBytes(path);
    form.el.Text1.setText("changed");
    form.el.Save.setEnabled(true);
    {
        test::FileSizeLimit limit(1000); // the file takes about 2 KB
        files.menuSave_Click();
    }
    EXPECT_EQ(test::readBytes(path), old);
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_TRUE(form.el.Save.enabled());
    EXPECT_EQ(QDir(QString::fromStdString(dir.path(""))).entryList(QDir::Files).size(), 1);
}

} // namespace
} // namespace qv::files
