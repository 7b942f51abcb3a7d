#include "files/DmmRecordFile.h"

#include "FileTestSupport.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::files {
namespace {

using platform::Answer;

class DmmRecordFileTest : public ::testing::Test {
  protected:
    DmmRecordFileTest() {
        fp.clock.date = "2026-12-07";
        fp.clock.timeLong = "14:03:27";
        form.v.MeterModelName = "QM520V";
        form.v.CurrentFileName = "wave.dso";
        form.el.Save.setEnabled(true);
        form.call.CaptionChange = [this](const std::string &) { ++captions; };
    }

    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    DmmRecordFile record{form};
    test::TempFolder dir;
    int captions = 0;
};

TEST_F(DmmRecordFileTest, WritesTheLayoutByteForByte) {
    const std::string head = "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\n";
    const struct {
        const char *what;
        std::string title, log, expected;
    } cases[] = {
        {"empty log, empty title", "", "", head + "QM520V DMM Record: \r\n\r\n\r\n"},
        {"two lines", "Bench 3", "1: 12.34 V\r\n2: 12.35 V\r\n",
         head + "QM520V DMM Record: Bench 3\r\n\r\n1: 12.34 V\r\n2: 12.35 V\r\n\r\n"},
        // UTF-8 is the system code page here
        {"Chinese title", "电源测试", "0001  3.300 V\r\n",
         head + "QM520V DMM Record: 电源测试\r\n\r\n0001  3.300 V\r\n\r\n"},
    };
    for (const auto &c : cases) {
        const std::string path = dir.path("record.txt");
        std::remove(path.c_str());
        form.el.Text1.setText(c.title);
        form.el.RichTextBox1.setText(c.log);
        fp.files.saveAnswers = {path};
        EXPECT_TRUE(record.SaveDMMRecord()) << c.what;
        EXPECT_EQ(fp.files.saveFilters.back(), DmmRecordFile::kFilter);
        EXPECT_EQ(test::readBytes(path), c.expected) << c.what;
    }
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_EQ(form.v.CurrentFileName, "wave.dso");
    EXPECT_TRUE(form.el.Save.enabled());
    EXPECT_EQ(captions, 0);
}

TEST_F(DmmRecordFileTest, ReportsWhetherItSaved) {
    const std::string existing = dir.path("existing.txt");
    const struct {
        const char *what;
        std::optional<std::string> name;
        std::deque<Answer> answers;
        bool saved;
        size_t questions;
    } cases[] = {
        {"cancelled", std::nullopt, {}, false, 0},
        {"empty name", std::string{}, {}, false, 0},
        {"existing, Cancel", existing, {Answer::Cancel}, false, 1},
        {"existing, default button", existing, {}, false, 1},
        {"missing folder", dir.path("missing/r.txt"), {}, false, 0},
        {"folder in place of the file", dir.path(""), {Answer::Ok}, false, 1},
        {"existing, OK", existing, {Answer::Ok}, true, 1},
    };
    for (const auto &c : cases) {
        test::writeBytes(existing, "old");
        fp.messages.shown.clear();
        fp.messages.answers = c.answers;
        fp.files.saveAnswers = {c.name};
        EXPECT_EQ(record.SaveDMMRecord(), c.saved) << c.what;
        ASSERT_EQ(fp.messages.shown.size(), c.questions) << c.what;
        if (c.questions) {
            EXPECT_EQ(fp.messages.shown[0].text, *c.name + " 已经存在。要替换它吗?");
        }
        EXPECT_EQ(test::readBytes(existing) == "old", !c.saved) << c.what;
    }
}

TEST_F(DmmRecordFileTest, ASaveFailingHalfWayKeepsTheOldFile) {
    const std::string path = dir.path("record.txt");
    test::writeBytes(path, "old record");
    form.el.RichTextBox1.setText(std::string(5000, 'x') + "\r\n");
    fp.files.saveAnswers = {path};
    fp.messages.answers = {Answer::Ok};
    bool saved = true;
    {
        test::FileSizeLimit limit(1000);
        saved = record.SaveDMMRecord();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::readBytes(path), "old record");
}

} // namespace
} // namespace qv::files
