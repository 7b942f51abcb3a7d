#include "files/FileStore.h"
#include "files/LeadingNumber.h"
#include "files/TextCodec.h"
#include "files/WaveformFormat.h"

#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>
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

// Hostile input: mutations of a valid file are each read or refused, never more.
using Rng = std::mt19937;

size_t pick(Rng &rng, size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng);
}

std::string randomBytes(Rng &rng, size_t n) {
    std::string out;
    while (out.size() < n)
        out += static_cast<char>(rng());
    return out;
}

// Turns a change of one line (index i of l) into a change of the whole file.
template <class F> std::function<void(Rng &, std::string &)> onLine(F f) {
    return [f](Rng &rng, std::string &s) {
        auto l = split(s);
        if (!l.empty()) {
            f(rng, l, pick(rng, l.size()));
            s = join(l);
        }
    };
}

const std::vector<std::function<void(Rng &, std::string &)>> kMutations = {
    [](Rng &rng, std::string &s) { // flip bytes
        for (size_t n = 1 + pick(rng, 8); n > 0 && !s.empty(); --n)
            s[pick(rng, s.size())] ^= static_cast<char>(1 + pick(rng, 255));
    },
    [](Rng &rng, std::string &s) { s.resize(pick(rng, s.size() + 1)); },     // cut anywhere
    [](Rng &rng, std::string &s) { s = randomBytes(rng, pick(rng, 4096)); }, // binary only
    onLine([](Rng &, Lines &l, size_t i) { l.insert(l.begin() + long(i), l[i]); }),
    onLine([](Rng &rng, Lines &l, size_t i) { std::swap(l[i], l[pick(rng, l.size())]); }),
    onLine([](Rng &, Lines &l, size_t i) { l.erase(l.begin() + long(i)); }),
    onLine([](Rng &rng, Lines &l, size_t i) { // random bytes, now and then a very long line
        l[i] = randomBytes(rng, pick(rng, 50) ? pick(rng, 64) : 20000 + pick(rng, 80000));
    }),
    onLine([](Rng &rng, Lines &l, size_t i) { // a huge number or a long run of digits
        const std::string huge = pick(rng, 2) ? std::string(1 + pick(rng, 2000), '9')
                                              : "1e" + std::to_string(pick(rng, 100000));
        l[i] = (pick(rng, 2) ? "-" : " ") + huge;
    }),
};

TEST(WaveformMutation, EveryMutatedFileIsAcceptedOrRefused) {
    const std::string valid = WaveformFormat::compose(test::sampleRecord());
    Rng rng(20261207);
    std::map<Status, int> outcomes;
    for (int round = 0; round < 500; ++round) {
        std::string bytes = valid;
        for (size_t n = 1 + pick(rng, 3); n > 0; --n)
            kMutations[pick(rng, kMutations.size())](rng, bytes);
        const auto parsed = WaveformFormat::parse(bytes);
        ++outcomes[parsed.status];
        if (parsed.status != Status::Ok)
            continue;
        const auto &r = parsed.record;
        ASSERT_TRUE(r.modelCode >= 0 && r.modelCode <= 8) << round;
        const auto ok = [](double v) { return std::isfinite(v); };
        ASSERT_TRUE(std::ranges::all_of(r.params, ok) && std::ranges::all_of(r.samples, ok))
            << round;
        const std::string text = r.title + r.date + r.time;
        if (round % 64 == 0) { // any bytes read as valid UTF-8 text of bounded size
            const std::string shown = TextCodec::fromFile(text);
            ASSERT_EQ(TextCodec::fromFile(shown), shown) << round;
            ASSERT_LE(shown.size(), 3 * text.size()) << round;
        }
    }
    ASSERT_EQ(outcomes.size(), 3u); // the mix exercises every outcome
    for (const auto &[status, count] : outcomes)
        EXPECT_GT(count, 50) << static_cast<int>(status);
}

} // namespace
} // namespace qv::files
