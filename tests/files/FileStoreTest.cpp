#include "files/FileStore.h"
#include "files/TextCodec.h"
#include "files/WaveformFormat.h"

#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <optional>
#include <string>

namespace qv::files {
namespace {

using Status = WaveformFormat::Status;

TEST(FileStore, ReadsOnlyTheLinesItNeeds) {
    test::TempFolder dir;
    const std::string valid = WaveformFormat::compose(test::sampleRecord());
    auto longTitle = test::sampleRecord();
    longTitle.title = std::string(6000, 'T');
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.path("folder"))));
    const struct {
        const char *name;
        std::string bytes;            // nothing written when empty and the name is not a file
        std::optional<Status> status; // nullopt: not read at all
    } cases[] = {
        {"valid.dso", valid, Status::Ok},
        {"junk after.dso", valid + std::string(100000, '\xff'), Status::Ok},
        {"no line ends.dso", std::string(100000, '7'), Status::ReadError},
        {"long title.dso", WaveformFormat::compose(longTitle), Status::ReadError},
        {"empty.dso", "", Status::ReadError},
        {"missing.dso", "", std::nullopt},
        {"folder", "", std::nullopt},
    };
    for (const auto &c : cases) {
        const std::string path = dir.path(c.name);
        if (!c.bytes.empty() || std::string(c.name) == "empty.dso")
            test::writeBytes(path, c.bytes);
        const auto read = FileStore::readLines(path, WaveformFormat::kLineCount, 4096);
        ASSERT_EQ(read.has_value(), c.status.has_value()) << c.name;
        if (!read)
            continue;
        EXPECT_LE(read->size(), 4096u) << c.name;
        EXPECT_EQ(WaveformFormat::parse(*read).status, *c.status) << c.name;
    }
    EXPECT_FALSE(FileStore::readLines("/dev/zero", 271).has_value());
}

TEST(FileStore, WritesWholeFiles) {
    test::TempFolder dir;
    const std::string path = dir.path("out.txt");
    ASSERT_TRUE(FileStore::write(path, "first").ok);
    ASSERT_TRUE(FileStore::write(path, "second, longer").ok);
    EXPECT_EQ(test::readBytes(path), "second, longer");
    ASSERT_TRUE(FileStore::write(path, "").ok);
    EXPECT_EQ(test::readBytes(path), "");
    const auto failed = FileStore::write(dir.path("no/such/folder/x"), "data");
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.reason.empty());
    EXPECT_FALSE(FileStore::write("", "data").ok);
}

TEST(TextCodec, ReadsUtf8ElseGb18030) {
    const struct {
        std::string bytes, text;
    } cases[] = {
        {"Meter 7304", "Meter 7304"},
        {"波形 测试", "波形 测试"},                         // valid UTF-8 stays
        {"\xb2\xa8\xd0\xce \xb2\xe2\xca\xd4", "波形 测试"}, // GB18030
        {"\xa1\xe6 5\xa1\xe6", "℃ 5℃"},                     // GB18030 symbols
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TextCodec::fromFile(c.bytes), c.text) << c.text;
    // Garbage of either kind still gives valid UTF-8 text.
    const std::string garbage = TextCodec::fromFile(std::string("\xff\xfe\x80\x00\xc3", 5));
    EXPECT_EQ(TextCodec::fromFile(garbage), garbage);
}

TEST(TextCodec, WritesInTheSystemCodePage) {
    // This system's code page is UTF-8.
    for (const std::string text : {"", "Meter 7304 DSO sample ", "电源测试 ℃"})
        EXPECT_EQ(TextCodec::toSystem(text), text);
}

} // namespace
} // namespace qv::files
