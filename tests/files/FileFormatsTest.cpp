#include "files/FileStore.h"
#include "files/LeadingNumber.h"
#include "files/TextCodec.h"
#include "files/WaveformFormat.h"

#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace qv::files {
namespace {

using Status = WaveformFormat::Status;
using Lines = std::vector<std::string>;

Lines split(const std::string &text) {
    Lines lines;
    for (size_t pos = 0, end; pos < text.size(); pos = end + 2) {
        end = std::min(text.find("\r\n", pos), text.size());
        lines.push_back(text.substr(pos, end - pos));
    }
    return lines;
}

std::string join(const Lines &lines, const std::string &end = "\r\n") {
    std::string out;
    for (const auto &l : lines)
        out += l + end;
    return out;
}

TEST(LeadingNumber, ReadsTheNumberALineStartsWith) {
    // clang-format off
    const std::pair<std::string, double> numbers[] = {
        {" 2.5 ", 2.5}, {"-3 ", -3}, {" 1.5E+20 ", 1.5e20}, {"\t 7", 7}, {"  12abc", 12},
        {"1.5.5", 1.5}, {"4e3x", 4000}, {"+4", 4}, {".5", 0.5}, {"5.", 5}, {"-0", -0.0},
        {"1e+", 1}, {"3E-x", 3}, {"99999999999999999999", 1e20},
        {"1.7976931348623157e308", std::numeric_limits<double>::max()}};
    // clang-format on
    for (const auto &[line, value] : numbers) {
        const auto got = leadingNumber(line);
        EXPECT_TRUE(got == value && std::signbit(*got) == std::signbit(value))
            << "[" << line << "]";
    }
    // No number at all, or one too small for a double: 0.
    for (const std::string line : {"", "abc", "-", ".", "Inf", "0x10", "1e-400", "0e99999"})
        EXPECT_EQ(leadingNumber(line), 0.0) << "[" << line << "]";
    // Too large for a double: the line cannot be read.
    for (const std::string &line : {std::string("-1e400"), "1" + std::string(400, '0')})
        EXPECT_FALSE(leadingNumber(line).has_value()) << line;
}

TEST(FileStore, ReadsOnlyTheLinesItNeeds) {
    test::TempFolder dir;
    test::writeBytes(dir.path("junk after.dso"),
                     WaveformFormat::compose(test::sampleRecord()) + std::string(100000, '\xff'));
    test::writeBytes(dir.path("no line ends.dso"), std::string(100000, '7'));
    const auto read = [&dir](const std::string &name) {
        return FileStore::readLines(dir.path(name), WaveformFormat::kLineCount, 4096);
    };
    const auto junk = read("junk after.dso"), flat = read("no line ends.dso");
    ASSERT_TRUE(junk && flat);
    EXPECT_EQ(WaveformFormat::parse(*junk).status, Status::Ok);
    EXPECT_LE(flat->size(), 4096u);
    EXPECT_EQ(WaveformFormat::parse(*flat).status, Status::ReadError);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir.path("folder"))));
    EXPECT_FALSE(read("missing.dso") || read("folder"));
    EXPECT_FALSE(FileStore::readLines("/dev/zero", 271).has_value());
    EXPECT_FALSE(FileStore::write("", "data").ok);
}

TEST(WaveformFormat, ComposesTheLayoutAndReadsItBackWithAnyLineEnds) {
    const auto record = test::sampleRecord();
    const std::string text = WaveformFormat::compose(record);
    const auto lines = split(text);
    ASSERT_EQ(lines.size(), 271u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::string head = "QVDATALINK47 V1.0\r\n7304\r\nMeter 7304 DSO database No.  5\r\n"
                             "2026-12-07\r\n14:03\r\n\r\n 17 \r\n-12 \r\n 9 \r\n 3.5 \r\n 1 \r\n"
                             " 0 \r\n-40 \r\n-7 \r\n\r\n-4.5 \r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(join({lines[25], lines[26], lines[27], lines[270]}, "|"),
              " 1.5E+20 |-1E-12 | 0.3 | 3.75 |");
    // Line breaks inside the texts become blanks, keeping the line count.
    auto edited = record;
    edited.title = "two\r\nlines";
    const auto broken = split(WaveformFormat::compose(edited));
    EXPECT_EQ(std::tuple(broken.size(), broken[2]), std::tuple(271u, "two  lines"));

    const std::string variants[] = {
        text, join(lines, "\n"), join(lines, "\r"), text.substr(0, text.size() - 2),
        text + std::string("1e999\r\n\xff\xfe binary\0 junk", 22)}; // junk after line 271
    for (const auto &bytes : variants) {
        const auto parsed = WaveformFormat::parse(bytes);
        ASSERT_EQ(parsed.status, Status::Ok) << bytes.substr(bytes.size() - 8);
        const auto &r = parsed.record;
        EXPECT_EQ(r.modelCode, 3);
        EXPECT_EQ(std::tie(r.modelName, r.title, r.date, r.time, r.params, r.samples),
                  std::tie(record.modelName, record.title, record.date, record.time, record.params,
                           record.samples));
    }
}

TEST(WaveformFormat, AcceptsOrRefusesEditedFiles) {
    const auto lines = split(WaveformFormat::compose(test::sampleRecord()));
    const auto withLine = [&lines](size_t index, const std::string &text) {
        auto copy = lines;
        copy[index] = text;
        return join(copy);
    };
    using enum Status;
    // clang-format off
    // The model code is not looked at when the file is refused.
    const std::tuple<std::string, Status, int> cases[] = {
        {withLine(0, "QVDATALINK47 V1.0 "), WrongFormat, 0}, {"QVDATALINK47 V1.1", WrongFormat, 0},
        {"QVDATALINK47 V1.0\r\n", ReadError, -1},    {withLine(1, "zora900x"), WrongFormat, 0},
        {withLine(1, "ZORA900X"), Ok, 8},              {withLine(1, "7302"), Ok, 0},
        {join(Lines(lines.begin(), lines.end() - 1)), ReadError, 3}, // 270 lines
        {withLine(270, "-2e308"), ReadError, 3},       {withLine(14, "-1e400"), Ok, 3},
        // A line up to 4096 bytes is read; one longer makes no waveform file.
        {withLine(2, std::string(4096, 'x')), Ok, 3},  {withLine(3, std::string(4097, ' ')), WrongFormat, 0},
        {withLine(270, " 1" + std::string(10'000'000, ' ')), WrongFormat, 0}};
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto &[bytes, status, modelCode] = cases[i];
        const auto parsed = WaveformFormat::parse(bytes);
        EXPECT_EQ(parsed.status, status) << i;
        EXPECT_TRUE(status == WrongFormat || parsed.record.modelCode == modelCode) << i;
    }
}

// Any bytes in a title, date or time show as valid UTF-8 of bounded size.
TEST(TextCodec, AnyBytesBecomeValidUtf8) {
    std::string every;
    for (int b = 0; b < 256; ++b)
        every += static_cast<char>(b);
    for (const std::string &bytes :
         {every, std::string("\xb2\xe2\xca"), std::string("\x81\x30\x81"),
          std::string("\xe6\xb5 \xff\xfe\x80"), std::string("\xf4\x90\x80\x80")}) {
        const std::string shown = TextCodec::fromFile(bytes);
        EXPECT_EQ(QString::fromUtf8(shown).toUtf8().toStdString(), shown); // nothing replaced
        EXPECT_EQ(TextCodec::fromFile(shown), shown);
        EXPECT_LE(shown.size(), 3 * bytes.size());
    }
}

} // namespace
} // namespace qv::files
