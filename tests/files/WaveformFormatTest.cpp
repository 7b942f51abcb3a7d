#include "files/WaveformFormat.h"

#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::files {
namespace {

using Status = WaveformFormat::Status;

std::vector<std::string> splitCrLf(const std::string &text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string> &lines, const std::string &end = "\r\n") {
    std::string out;
    for (const auto &l : lines)
        out += l + end;
    return out;
}

void expectSameRecord(const WaveformRecord &a, const WaveformRecord &b) {
    EXPECT_EQ(a.modelName, b.modelName);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.time, b.time);
    EXPECT_EQ(a.params, b.params);
    EXPECT_EQ(a.samples, b.samples);
}

TEST(WaveformFormat, ComposesTheLayout) {
    const auto lines = splitCrLf(WaveformFormat::compose(test::sampleRecord()));
    ASSERT_EQ(lines.size(), 271u);
    const struct {
        size_t line; // 1-based
        const char *text;
    } expected[] = {
        {1, "QVDATALINK47 V1.0"},
        {2, "7304"},
        {3, "Meter 7304 DSO database No.  5"},
        {4, "2026-12-07"},
        {5, "14:03"},
        {6, ""},
        {7, " 17 "},
        {8, "-12 "},
        {10, " 3.5 "},
        {14, "-7 "},
        {15, ""},
        {16, "-4.5 "},
        {26, " 1.5E+20 "},
        {27, "-1E-12 "},
        {28, " 0.3 "},
        {271, " 3.75 "},
    };
    for (const auto &e : expected)
        EXPECT_EQ(lines[e.line - 1], e.text) << "line " << e.line;
}

TEST(WaveformFormat, LineBreaksInTextsKeepTheLineCount) {
    auto r = test::sampleRecord();
    r.title = "two\r\nlines";
    r.date = "a\nb";
    const auto lines = splitCrLf(WaveformFormat::compose(r));
    ASSERT_EQ(lines.size(), 271u);
    EXPECT_EQ(lines[2], "two  lines");
    EXPECT_EQ(lines[3], "a b");
}

TEST(WaveformFormat, RoundTripsAndAcceptsOtherLineEnds) {
    const auto record = test::sampleRecord();
    const std::string text = WaveformFormat::compose(record);
    const auto lines = splitCrLf(text);
    const struct {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"CR LF", text},
        {"LF", joinLines(lines, "\n")},
        {"CR", joinLines(lines, "\r")},
        {"no final line end", text.substr(0, text.size() - 2)},
        {"garbage after line 271", text + std::string("1e999\r\n\xff\xfe binary\0 junk", 22)},
    };
    for (const auto &c : cases) {
        const auto parsed = WaveformFormat::parse(c.bytes);
        ASSERT_EQ(parsed.status, Status::Ok) << c.what;
        EXPECT_EQ(parsed.record.modelCode, 3) << c.what;
        expectSameRecord(parsed.record, record);
    }
}

TEST(WaveformFormat, ReadsNumberLinesByTheirLeadingNumber) {
    auto lines = splitCrLf(WaveformFormat::compose(test::sampleRecord()));
    lines[5] = "anything at all"; // line 6 is skipped
    lines[6] = "  42 volts";
    lines[7] = "no number";
    lines[14] = "-1e400 skipped"; // line 15 is skipped
    lines[15] = "\t-7.25e1,3";
    const auto parsed = WaveformFormat::parse(joinLines(lines));
    ASSERT_EQ(parsed.status, Status::Ok);
    EXPECT_EQ(parsed.record.params[0], 42.0);
    EXPECT_EQ(parsed.record.params[1], 0.0);
    EXPECT_EQ(parsed.record.samples[0], -72.5);
}

TEST(WaveformFormat, RefusesWrongOrShortFiles) {
    const auto lines = splitCrLf(WaveformFormat::compose(test::sampleRecord()));
    const auto withLine = [&lines](size_t index, const std::string &text) {
        auto copy = lines;
        copy[index] = text;
        return joinLines(copy);
    };
    const auto firstLines = [&lines](size_t count) {
        return joinLines(std::vector<std::string>(lines.begin(), lines.begin() + count));
    };
    const struct {
        const char *what;
        std::string bytes;
        Status status;
        int modelCode;
    } cases[] = {
        {"header with trailing blank", withLine(0, "QVDATALINK47 V1.0 "), Status::WrongFormat, -1},
        {"header in lower case", withLine(0, "qvdatalink47 v1.0"), Status::WrongFormat, -1},
        {"header only", "QVDATALINK47 V1.0\r\n", Status::ReadError, -1},
        {"wrong header, nothing else", "QVDATALINK47 V1.1", Status::WrongFormat, -1},
        {"empty file", "", Status::ReadError, -1},
        {"ZORA900X", withLine(1, "ZORA900X"), Status::Ok, 8},
        {"7302", withLine(1, "7302"), Status::Ok, 0},
        {"zora900x", withLine(1, "zora900x"), Status::WrongFormat, -1},
        {"model with blank", withLine(1, "7304 "), Status::WrongFormat, -1},
        {"empty model", withLine(1, ""), Status::WrongFormat, -1},
        {"cut after line 100", firstLines(100), Status::ReadError, 3},
        {"cut after line 5", firstLines(5), Status::ReadError, 3},
        {"270 lines", firstLines(270), Status::ReadError, 3},
        {"parameter too large", withLine(8, " 1e400 "), Status::ReadError, 3},
        {"last sample too large", withLine(270, "-2e308"), Status::ReadError, 3},
        {"1e300 everywhere", withLine(6, " 1E+300 "), Status::Ok, 3},
    };
    for (const auto &c : cases) {
        const auto parsed = WaveformFormat::parse(c.bytes);
        EXPECT_EQ(parsed.status, c.status) << c.what;
        if (c.status != Status::WrongFormat) {
            EXPECT_EQ(parsed.record.modelCode, c.modelCode) << c.what;
        }
    }
}

} // namespace
} // namespace qv::files
