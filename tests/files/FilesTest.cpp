#include "files/DmmRecordFile.h"
#include "files/FileStore.h"
#include "files/LeadingNumber.h"
#include "files/WaveformFiles.h"
#include "files/WaveformFormat.h"
#include "platform/fakes/FakePlatform.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <span>

namespace qv::files {
namespace {

using platform::Answer;
using Status = WaveformFormat::Status;
using Lines = std::vector<std::string>;

using test::contents, test::withFileSizeLimit;

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

/// A waveform with negative, fractional and large values in every part.
WaveformRecord sampleRecord() {
    WaveformRecord r{"7304", -1, "Meter 7304 DSO database No.  5", "2026-12-07", "14:03"};
    r.params = {17, -12, 9, 3.5, 1, 0, -40, -7};
    for (size_t i = 0; i < r.samples.size(); ++i)
        r.samples[i] = static_cast<double>(static_cast<int>(i % 37) - 18) / 4.0;
    r.samples[10] = 1.5e20, r.samples[11] = -1e-12, r.samples[12] = 0.3;
    return r;
}

TEST(LeadingNumber, ReadsTheNumberALineStartsWith) {
    // clang-format off
    const std::pair<std::string, double> numbers[] = {
        {" 2.5 ", 2.5}, {"-3 ", -3}, {" 1.5E+20 ", 1.5e20}, {"\t 7", 7}, {"  12abc", 12},
        {"1.5.5", 1.5}, {"4e3x", 4000}, {"+4", 4}, {".5", 0.5}, {"5.", 5}, {"-0", -0.0},
        {"1e+", 1}, {"3E-x", 3}, {"99999999999999999999", 1e20}, {"-1e-400", -0.0},
        {"1.7976931348623157e308", std::numeric_limits<double>::max()}};
    // clang-format on
    for (const auto &[line, value] : numbers) // and the sign of a zero
        EXPECT_EQ(std::pair(leadingNumber(line), std::signbit(leadingNumber(line).value_or(1))),
                  std::pair(std::optional(value), std::signbit(value)))
            << "[" << line << "]";
    // No number at all, or one too small for a double: 0.
    for (const std::string line : {"", "abc", "-", ".", "Inf", "0x10", "1e-400", "0e99999"})
        EXPECT_EQ(leadingNumber(line), 0.0) << "[" << line << "]";
    EXPECT_EQ(leadingNumber("0." + std::string(400, '0') + "1e+40x"), 0.0); // 1e-361, then text
    // Too large for a double: the line cannot be read.
    for (const std::string &line : {std::string("-1e400"), "1" + std::string(400, '0')})
        EXPECT_FALSE(leadingNumber(line).has_value()) << line;
}

TEST(WaveformFormat, ComposesTheLayoutReadsItBackWithAnyLineEndsAndJudgesEditedFiles) {
    const auto record = sampleRecord();
    const std::string text = WaveformFormat::compose(record);
    const auto lines = split(text);
    ASSERT_EQ(lines.size(), 271u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::string head = "QVDATALINK47 V1.0\r\n7304\r\nMeter 7304 DSO database No.  5\r\n"
                             "2026-12-07\r\n14:03\r\n\r\n 17 \r\n-12 \r\n 9 \r\n 3.5 \r\n 1 \r\n"
                             " 0 \r\n-40 \r\n-7 \r\n\r\n-4.5 \r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
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
        EXPECT_EQ(std::tie(r.modelCode, r.modelName, r.title, r.date, r.time, r.params, r.samples),
                  std::tuple(3, record.modelName, record.title, record.date, record.time,
                             record.params, record.samples));
    }

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
        EXPECT_EQ(std::tuple(i, parsed.status, status == WrongFormat ? 0 : parsed.record.modelCode),
                  std::tuple(i, status, modelCode));
    }
    // A long model name in the refusal: at most 40 bytes, never half a character.
    const std::string model = "xy" + QString("型").repeated(14).toStdString();
    EXPECT_EQ(WaveformFormat::parse(withLine(1, model)).reason,
              "unknown meter model \"" + model.substr(0, 38) + "...\"");
}

class FilesTest : public ::testing::Test {
  protected:
    FilesTest() {
        form.v.MeterModelName = "7304";
        form.el.Text1.setText("Meter 7304 波形 sample ");
        form.wave.DsoParam = {17, -12, 9, 3.5, 1, 0, -40, -7, 5};
        form.wave.WaveData[256] = 99;
        form.el.DSO_wave.setChecked(true);
        form.el.Picture1Drops.setChecked(true);
        form.call.DSO_display = [this] { ++waveDraws; };
        form.call.FFT_Display = [this] { ++spectrumDraws; };
        form.call.CaptionChange = [this](const std::string &p) { captions.push_back(p); };
        form.call.SaveDMMRecord = [this] { return record.SaveDMMRecord(); };
        for (auto *c : commandsOfAWaveform)
            c->setEnabled(false);
        form.el.Save.setEnabled(true), form.el.menuSave.setEnabled(true);
    }

    // Everything opening a file may change.
    auto snapshot() const {
        const auto &w = form.wave;
        return std::tuple(form.v.MeterModelName, form.v.MeterModelCode, form.v.CurrentFileName,
                          w.WaveTitle, w.WaveDate, w.WaveTime, w.DsoParam, w.WaveData,
                          captions.size(), waveDraws + spectrumDraws, form.el.Save.enabled());
    }

    std::string path(const std::string &n) const { return dir.path().toStdString() + "/" + n; }

    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    const std::vector<common::Control *> commandsOfAWaveform{
        &form.el.Print,   &form.el.Copy,    &form.el.mnuPrint, &form.el.mnuSaveAs,
        &form.el.mnuCopy, &form.el.XCursor, &form.el.YCursor,  &form.el.DSO_FFT};
    WaveformFiles files{form};
    DmmRecordFile record{form};
    QTemporaryDir dir;
    int waveDraws = 0, spectrumDraws = 0;
    std::vector<std::string> captions;
};

// Only regular files are read, within a limit; any name: no UTF-8, or of the longest length.
TEST_F(FilesTest, FileStoreReadsRegularFilesUpToTheLimitUnderAnyName) {
    std::ofstream(path("no line ends.dso"), std::ios::binary) << std::string(100000, '7');
    const auto flat = FileStore::readLines(path("no line ends.dso"), 271, 4096).value_or("none");
    const auto cut = WaveformFormat::parse(flat),
               header = WaveformFormat::parse("QVDATALINK47 V1.0\r\n");
    EXPECT_EQ(
        std::tuple(cut.status, cut.reason, header.reason),
        std::tuple(Status::ReadError, "empty", "shorter than 271 lines: it ends after line 1"));
    std::ofstream(path("long.dso"), std::ios::binary) << "a\r\nb\r\n" + std::string(100000, '7');
    EXPECT_EQ(FileStore::readLines(path("long.dso"), 271, 4096), "a\r\nb\r\n")
        << "a line the limit cuts is left out";
    for (const std::string &name : {path("missing.dso"), path(""), std::string("/dev/zero"),
                                    std::string("/proc/self/mem")}) // a read failing at once
        EXPECT_FALSE(FileStore::readLines(name, 271).has_value()) << name;
    const std::string text = WaveformFormat::compose(sampleRecord());
    for (const std::string &name : {std::string("caf\xe9.dso"), std::string(255, 'n')}) {
        const std::string file = path(name);
        const auto written = FileStore::write(file, text);
        EXPECT_TRUE(written.ok && FileStore::exists(file)) << written.reason;
        EXPECT_EQ(std::pair(contents(file), FileStore::readLines(file, 271)),
                  std::pair(text, std::optional(text))); // under the very bytes of its name
    }
    // Nothing else in the folder; removed here, as Qt's folder cannot spell the first name.
    EXPECT_EQ(test::listing(dir.path().toStdString()).size(), 4u);
    std::filesystem::remove(path("caf\xe9.dso"));
}

// Save without a current name, Save As and the DMM record: dialog, replace question, failures.
TEST_F(FilesTest, SavingThroughADialog) {
    const std::string existing = path("existing.txt"), unwritable = path("missing/r.txt");
    // The name chosen, the answer to the replace question if asked, whether it is saved.
    const std::tuple<std::optional<std::string>, Answer, bool> cases[] = {
        {std::nullopt, Answer::Ok, false},
        {existing, Answer::Cancel, false},
        {unwritable, Answer::Ok, false},
        {existing, Answer::Ok, true}};
    const char *filters[] = {WaveformFiles::kSaveFilter, WaveformFiles::kSaveAsFilter,
                             DmmRecordFile::kFilter};
    for (int command = 0; command < 3; ++command) {
        for (const auto &[name, answer, saved] : cases) {
            SCOPED_TRACE(name.value_or("cancelled") + " " + std::to_string(command));
            std::ofstream(existing, std::ios::binary) << "old";
            fp.messages.shown.clear(), form.v.CurrentFileName.clear(), captions.clear();
            fp.messages.answers = {answer}, fp.files.saveAnswers = {name};
            form.el.Save.setEnabled(true);
            if (command == 1)
                files.mnuSaveAs_Click();
            else // Save and the record tell whether they saved
                EXPECT_EQ(command ? record.SaveDMMRecord() : files.SaveFile(form.v.CurrentFileName),
                          saved);
            EXPECT_EQ(fp.files.saveFilters.back(), filters[command]);
            const bool asked = name && QFileInfo::exists(QString::fromStdString(*name));
            const bool failed = name == unwritable;
            ASSERT_EQ(fp.messages.shown.size(), (asked ? 1u : 0u) + (failed ? 1u : 0u));
            for (const auto &m : std::span(fp.messages.shown).first(asked))
                EXPECT_EQ(std::tuple(m.text, m.buttons, m.defaultButton, m.warning, m.title),
                          std::tuple(*name + " 已经存在。要替换它吗?", platform::Buttons::OkCancel,
                                     Answer::Cancel, true, ""));
            const auto &boxes = fp.messages.shown; // a failed write says so: file and reason
            EXPECT_TRUE(!failed || (boxes.back().warning &&
                                    boxes.back().text.starts_with(unwritable + " 保存失败: ")));
            EXPECT_EQ(contents(existing) == "old", !saved);
            // A waveform is named before writing (kept on failure), captioned once saved; DMM: no.
            const bool named = (saved || failed) && command < 2, shown = saved && command < 2;
            EXPECT_EQ(std::tuple(form.v.CurrentFileName, form.el.Save.enabled(), captions.size()),
                      std::tuple(named ? *name : "", !shown, shown ? 1u : 0u));
        }
    }
}

// A wrong header is reported, a short file refused silently, Cancel and an empty drop ignored.
TEST_F(FilesTest, RefusedFilesChangeNothingForeignModelsWildValuesAndChineseTitlesOpen) {
    const std::string valid = WaveformFormat::compose(sampleRecord());
    const std::string blank = path("blank.dso"), cut = path("cut.dso");
    std::ofstream(blank, std::ios::binary) << "QVDATALINK47 V1.0 " + valid.substr(17);
    std::ofstream(cut, std::ios::binary) << valid.substr(0, valid.size() / 2);
    const auto before = snapshot();
    EXPECT_FALSE(files.FileOpen0(blank) || files.FileOpen0(cut));
    fp.files.openAnswers = {std::nullopt};
    files.FileOpen();
    files.Picture1_OLEDragDrop({});
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(std::tuple(fp.messages.shown[0].text, snapshot() == before),
              std::tuple(blank + " 文件格式不正确", true));

    WaveformRecord r = sampleRecord();
    r.modelName = "ZORA900X";
    r.title = "\xb2\xe2\xca\xd4 \xb2\xa8\xd0\xce"; // GB18030, from a Chinese system
    r.time = "14:03 时间";                         // UTF-8 stays
    for (int b = 0; b < 256; ++b)                  // any bytes show as valid UTF-8
        r.date += b == '\r' || b == '\n' ? ' ' : static_cast<char>(b);
    r.params = {1e300, -1e300, 255, 1e300, 99, -5, 1e300, -1e300};
    r.samples.fill(1e300);
    r.samples[3] = -1e300;
    const std::string wild = path("wild.dso");
    std::ofstream(wild, std::ios::binary) << WaveformFormat::compose(r);
    fp.files.openAnswers = {wild};
    files.FileOpen();
    EXPECT_EQ(fp.files.openFilters.back(), WaveformFiles::kOpenFilter);
    const auto &w = form.wave; // DsoParam[8] and WaveData[256] are not in a file and are kept
    EXPECT_EQ(std::tuple(form.v.MeterModelCode, form.v.MeterModelName, w.WaveTitle, w.WaveTime,
                         waveDraws, w.DsoParam[0], w.DsoParam[2], w.WaveData[3], w.DsoParam[8],
                         w.WaveData[256], form.v.CurrentFileName, captions.back(),
                         form.el.menuSave.enabled() || form.el.Save.enabled()),
              std::tuple(8, "ZORA900X", "测试 波形", "14:03 时间", 1, 1e300, 255, -1e300, 5, 99,
                         wild, wild, false));
    EXPECT_EQ(QString::fromUtf8(w.WaveDate).toUtf8().toStdString(), w.WaveDate); // none replaced
    EXPECT_NE(w.WaveDate.find("0123456789:;<=>?@ABC"), std::string::npos) << "its ASCII kept";
    EXPECT_TRUE(std::ranges::all_of(commandsOfAWaveform, &common::Control::enabled));
    // In the spectrum view the spectrum is redrawn instead.
    form.el.DSO_wave.setChecked(false);
    ASSERT_TRUE(files.FileOpen0(wild));
    EXPECT_EQ(std::pair(waveDraws, spectrumDraws), std::pair(1, 1));
}

// Saving under the current name: a failure, even half-way, is reported and leaves the file whole.
TEST_F(FilesTest, FailedSaveUnderTheCurrentNameIsReportedDmmModeSavesTheRecord) {
    const std::string kept = path("kept.dso");
    fp.files.saveAnswers = {kept};
    ASSERT_TRUE(files.SaveFile(form.v.CurrentFileName)); // no name yet: through the dialog
    const std::string old = contents(kept);
    form.el.Text1.setText("changed");
    captions.clear();
    for (const std::string &target : {path("missing/wave.dso"), kept}) {
        fp.messages.shown.clear();
        form.v.CurrentFileName = target;
        form.el.Save.setEnabled(true), form.el.menuSave.setEnabled(true);
        withFileSizeLimit(1000, [this] { files.menuSave_Click(); }); // the file takes 2 KB
        ASSERT_EQ(fp.messages.shown.size(), 1u) << target;
        const auto &m = fp.messages.shown[0];
        EXPECT_TRUE(m.warning && m.text.starts_with(target + " 保存失败: ") &&
                    m.text.size() > target.size() + std::string(" 保存失败: ").size()) // a reason
            << m.text;
        EXPECT_EQ(std::tuple(form.el.Save.enabled(), form.el.menuSave.enabled(),
                             form.v.CurrentFileName, captions.size()),
                  std::tuple(true, true, target, 0u));
    }
    EXPECT_EQ(contents(kept), old);
    // Once it can be written, Save writes it again without a dialog, the title from Text1.
    fp.messages.shown.clear();
    files.menuSave_Click();
    EXPECT_NE(contents(kept).find("\r\nchanged\r\n"), std::string::npos);
    EXPECT_EQ(std::tuple(form.el.Save.enabled(), fp.files.saveFilters.size(),
                         fp.messages.shown.size(), QDir(dir.path()).entryList(QDir::Files).size()),
              std::tuple(false, 1u, 0u, 1));

    // In DMM mode Save writes the record (in UTF-8, this system's code page), not the waveform.
    form.v.MeterModelName = "QM520V";
    form.el.DMMmode.setChecked(true);
    form.el.Text1.setText("电源测试");
    form.el.RichTextBox1.setText("0001  3.300 V\r\n0002  3.301 V\r\n");
    fp.files.saveAnswers = {path("record.txt")};
    files.menuSave_Click();
    EXPECT_EQ(contents(path("record.txt")),
              "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:03:27\r\nQM520V DMM Record: 电源测试\r\n\r\n"
              "0001  3.300 V\r\n0002  3.301 V\r\n\r\n");
}

} // namespace
} // namespace qv::files
