#include "PrintFixture.h"
#include "output/Csv.h"
#include "output/LineFile.h"
#include "output/RecordCsv.h"
#include "output/SpectrumCsv.h"
#include "output/WaveformCsv.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>

namespace qv::output {
namespace {

// The lines of a CSV text, each of which must end in CR LF.
std::vector<std::string> linesOf(const std::string &csv) {
    std::vector<std::string> out;
    std::istringstream in(csv);
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.back(), '\r') << line;
        out.push_back(line.substr(0, line.size() - 1));
    }
    return out;
}

// 2.5 of every unit a reading or a scale shows, in its SI unit; nothing for an unknown one. Numbers
// without a negative zero or binary noise, fields quoted where a blank or line break needs it.
TEST(Csv, EveryUnitInSiNumbersAndFields) {
    const std::tuple<const char *, double, const char *> rows[] = {
        {"V", 2.5, "V"},        {"mV", 0.0025, "V"},  {"s", 2.5, "s"},       {"ms", 0.0025, "s"},
        {"us", 2.5e-6, "s"},    {"ns", 2.5e-9, "s"},  {"mHz", 0.0025, "Hz"}, {"Hz", 2.5, "Hz"},
        {"kHz", 2500, "Hz"},    {"MHz", 2.5e6, "Hz"}, {"dB", 2.5, "dB"},     {"A", 2.5, "A"},
        {"mA", 0.0025, "A"},    {"uA", 2.5e-6, "A"},  {"Ohm", 2.5, "Ohm"},   {"kOhm", 2500, "Ohm"},
        {"MOhm", 2.5e6, "Ohm"}, {"nF", 2.5e-9, "F"},  {"uF", 2.5e-6, "F"},   {" mF ", 0.0025, "F"},
    };
    for (const auto &[unit, value, si] : rows) {
        const auto got = inSi(2.5, unit).value_or(SiValue{0, "none"});
        EXPECT_EQ(std::pair(got.value, got.unit), std::pair(value, std::string_view(si))) << unit;
    }
    EXPECT_FALSE(inSi(2.5, "mm") || inSi(2.5, "  "));
    EXPECT_EQ(std::tuple(Csv::number(-0.0), Csv::field("two\r\nlines"), Csv::number(100000.0),
                         Csv::number(1e15), Csv::number(Csv::decimal(0.1 + 0.2)),
                         Csv::field(std::string_view()), Csv::field(" a")),
              std::tuple("0", "\"two\r\nlines\"", "100000", "1e+15", "0.3", "", "\" a\""));
    EXPECT_FALSE(Csv::number(std::nan("")) != "" || Csv::decimal(1 / 0.0) || Csv::decimal({}));
}

// Rows by hand: volts = value / 10 x volts/div, time = index x time/div / 20, each the decimal a
// person writes (no binary last-bit noise). The header has the settings and quoted texts.
TEST(WaveformCsv, PointsInVoltsAndSecondsForEveryTimeBaseFamilyAndTheHeader) {
    // model, time base index, gain index, point, value; its row, volts and time per division
    const std::tuple<int, double, double, size_t, double, const char *, const char *, const char *>
        cases[] = {
            {0, 4, 7, 1, -5, "1,0.05,-1", "2 V", "1 s"},                  // 1 s/div, 2 V/div
            {0, 6, 9, 3, -126, "3,0.03,-5.04", "0.4 V", "0.2 s"},         // 0.2 s/div, 0.4 V/div
            {0, 13, 7, 3, 15, "3,0.00015,3", "2 V", "1 ms"},              // 1 ms/div
            {0, 15, 11, 7, -121, "7,7e-05,-1.21", "0.1 V", "0.2 ms"},     // 0.2 ms/div, 0.1 V/div
            {0, 20, 12, 2, 25, "2,5e-07,0.1", "40 mV", "5 us"},           // 5 us/div, 40 mV/div
            {3, 23, 10, 3, -118, "3,6e-08,-2.36", "0.2 V", "0.4 us"},     // 0.4 us/div, 0.2 V/div
            {3, 26, 14, 4, -2, "4,1e-08,-0.002", "10 mV", "50 ns"},       // 50 ns/div, 10 mV/div
            {4, 13, 11, 0, 10, "0,0,0.05", "50 mV", "1 ms"},              // family B: 50 mV at 11
            {5, 22, 14, 255, 3, "255,1.02e-05,0.0015", "5 mV", "0.8 us"}, // family B: 5 mV
            {0, 25, 15, 1, 10, "1,,", "", ""},                            // scales the tables lack
            {12, 13, 7, 1, 10, "1,,", "", ""},                            // a model without scales
        };
    dso::ScaleTables tables;
    for (const auto &[model, time, gain, point, value, row, voltsPerDiv, timePerDiv] : cases) {
        common::Waveform wave;
        wave.DsoParam[0] = time, wave.DsoParam[2] = gain, wave.WaveData[point] = value;
        const auto lines = linesOf(waveformCsv({wave, "M", double(model), "", tables}));
        ASSERT_EQ(lines.size(), 15u + 1 + 256);
        EXPECT_EQ(lines[5] + "|" + lines[6] + "|" + lines[15] + "|" + lines[16 + point],
                  std::string("# volts_per_div,") + voltsPerDiv + "|# time_per_div," + timePerDiv +
                      "|index,time_s,volts|" + row);
    }
    common::Waveform wave;
    wave.DsoParam = {13, -10, 7, 5, 3, 0, 3, 0};
    wave.WaveTitle = "Meter 7302 DSO sample, \"A\"";
    wave.WaveDate = "2026-12-07", wave.WaveTime = "14:03";
    const std::string model = "7302";
    EXPECT_EQ(workModeOfTitle(wave.WaveTitle, model), "DSO sample, \"A\"");
    const auto lines = linesOf(waveformCsv({wave, model, 0, "DSO sample", tables}));
    EXPECT_EQ(std::vector(lines.begin(), lines.begin() + 15),
              (std::vector<std::string>{
                  "# model,7302", "# work_mode,DSO sample", "# date,2026-12-07", "# time,14:03",
                  "# title,\"Meter 7302 DSO sample, \"\"A\"\"\"", "# volts_per_div,2 V",
                  "# time_per_div,1 ms", "# sample_interval_s,5e-05", "# coupling,AC",
                  "# trigger_slope,falling",
                  "# trigger_level_v,0.6",    // 3 units x 2 V / 10
                  "# trigger_position,-10",   // a division left of the centre
                  "# trigger_time_s,0.00525", // point 125 - 20 = 105 x 50 us
                  "# vertical_position,5", "# zero_level,0"}));
    EXPECT_EQ(workModeOfTitle("other title", model), "");
}

/// The spectrum the view shows, as the export writes it.
std::string viewCsv(const testing::PrintFixture &f) {
    return spectrumCsv({f.form.v.WindowName, f.form.v.SpectrumLogScale == 1,
                        std::span<const double>(f.view.Spectrum.data(), 128),
                        voltsPerUnit(f.form.wave, 0, f.tables),
                        secondsPerDiv(f.form.wave, 0, f.tables)});
}

// The bins are the view's own values. The dB scale: with the rectangular window a constant c volts
// has DFT magnitude 256 c in bin 0, so its linear magnitude is c and its dB 10 log10(256 c / 1 V).
TEST(SpectrumCsv, BinsDbFrequenciesForEveryTimeBaseFamilyAndThePeakBesideTheDcBin) {
    for (const int logScale : {0, 1}) {
        testing::PrintFixture f; // 2 V/div (0.2 V a unit), 1 ms/div
        f.show(true, logScale);
        const std::string csv = viewCsv(f);
        const auto lines = linesOf(csv);
        const double unit = logScale ? 1.0 : 0.2; // dB as they are, or units of 0.2 V
        // the sine's 6.4 bins: its peak in bin 6, at 6 x 78.125 Hz; 78.125 Hz is 1 / 12.8 ms
        const std::string header =
            "# window,Hanning\r\n" +
            std::string(logScale ? "# scale,dB\r\n# magnitude_unit,dB\r\n"
                                   "# magnitude,10*log10(|DFT(window*volts)| / 1 V)\r\n"
                                   "# db_reference,1 V\r\n"
                                   "# db_floor,-50 at 9.16675636485323e-10 V or less\r\n"
                                 : "# scale,linear\r\n# magnitude_unit,V\r\n"
                                   "# magnitude,|DFT(window*volts)| / 256\r\n") +
            "# frequency_per_bin_hz,78.125\r\n# peak_frequency_hz,468.75\r\n# peak_magnitude," +
            Csv::number(f.view.Spectrum[6] * unit) + "\r\nbin,frequency_hz,magnitude\r\n";
        EXPECT_EQ(csv.substr(0, header.size()), header);
        ASSERT_EQ(lines.size(), (logScale ? 10u : 8u) + 128);
        // Bin 10 is one division of the view: the readout's 781.25 Hz.
        EXPECT_EQ(lines[lines.size() - 118],
                  "10,781.25," + Csv::number(f.view.Spectrum[10] * unit));

        f.form.wave.WaveData.fill(5);
        f.form.v.WindowType = 0, f.form.v.WindowName = "Rectangular";
        f.show(true, logScale);
        const auto flat = linesOf(viewCsv(f));
        const size_t first = logScale ? 10 : 8;
        EXPECT_EQ(flat[first].substr(0, 4), "0,0,");
        // 1 V; 10 log10(256) = 24.0824 dB; an empty bin reads the -50 floor
        EXPECT_NEAR(std::stod(flat[first].substr(4)), logScale ? 24.0824 : 1.0, 1e-4);
        EXPECT_EQ(flat[first + 5], logScale ? "5,390.625,-50" : "5,390.625,0");
    }

    // Per bin 1 / (12.8 x time/div) as a decimal; model, time base; per bin and bin 127, by hand
    const std::tuple<int, double, const char *, const char *> cases[] = {
        {0, 7, "0.78125", "99.21875"},      // 0.1 s/div
        {0, 15, "390.625", "49609.375"},    // 0.2 ms/div
        {3, 23, "195312.5", "24804687.5"},  // 0.4 us/div
        {3, 22, "97656.25", "12402343.75"}, // 0.8 us/div
        {3, 26, "1562500", "198437500"},    // 50 ns/div
        {0, 25, "", ""},                    // model 0 has no 25th time base
    };
    dso::ScaleTables tables;
    const std::vector<double> bins(128, 0.0);
    for (const auto &[model, time, perBin, last] : cases) {
        common::Waveform wave;
        wave.DsoParam[0] = time;
        const auto perDiv = secondsPerDiv(wave, model, tables);
        EXPECT_EQ(perDiv.has_value(), *perBin != 0) << "an empty entry is no 0 s/div";
        const auto lines = linesOf(spectrumCsv({"Hanning", false, bins, 1, perDiv}));
        EXPECT_EQ(lines[4] + "|" + lines[8 + 1] + "|" + lines.back(),
                  std::string("# frequency_per_bin_hz,") + perBin + "|1," + perBin + ",0|127," +
                      last + ",0");
    }

    // Peak: the highest bin from 1 up above its left and not below its right neighbour; ties: low.
    const double linear[] = {5, 3, 1, 4, 2}, db[] = {-3, -10, -20, -5, -30}, none[] = {0, 0, 0},
                 ties[] = {0, 2, 6, 6, 1, 5}, rising[] = {0, 1, 2, 3}, floor[] = {-50, -50};
    // bins 78.125 Hz apart (1 ms/div); the linear magnitude in volts (0.2 V a unit)
    const std::tuple<SpectrumCsvInput, const char *, const char *> rows[] = {
        {{"Hanning", false, linear, 0.2, 1e-3}, "234.375", "0.8"},
        {{"Hanning", true, db, 0.2, 1e-3}, "234.375", "-5"},
        {{"Hanning", false, ties, 1, 1e-3}, "156.25", "6"},
        {{"Hanning", false, rising, 1, 1e-3}, "234.375", "3"},
        {{"Hanning", false, linear, std::nullopt, std::nullopt}, "", ""},
        {{"Hanning", false, none, 0.2, 1e-3}, "", ""},
        {{"Hanning", true, floor, 0.2, 1e-3}, "", ""},
    };
    for (const auto &[in, frequency, magnitude] : rows) {
        const auto lines = linesOf(spectrumCsv(in));
        const auto header = std::ranges::find(lines, "bin,frequency_hz,magnitude");
        EXPECT_EQ(header[-2] + "|" + header[-1], std::string("# peak_frequency_hz,") + frequency +
                                                     "|# peak_magnitude," + magnitude);
    }
}

TEST(RecordCsv, LogLinesWithNegativeAndOverloadReadings) {
    const std::string file = "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:05:00\r\n"
                             "QM520V DMM Record: bench\r\n\r\n"
                             "  14:03:27    -1.234 mV  DC    \r\n"
                             "  14:03:28      OL   M ohm     \r\n"
                             "  No.5 :   0.123V   AC    \r\n"
                             "edited, by hand\r\n"
                             "\r\n";
    const auto log = logOfRecordFile(file);
    ASSERT_TRUE(log);
    EXPECT_EQ(linesOf(recordCsv(*log)),
              (std::vector<std::string>{
                  "time,value,unit,text", "14:03:27,-1.234,mV  DC,\"-1.234mV  DC    \"",
                  "14:03:28,,M ohm,\"  OL  M ohm     \"", "No.5,0.123,V   AC,\" 0.123V   AC    \"",
                  ",,,\"edited, by hand\""}));
    EXPECT_FALSE(logOfRecordFile("QVDATALINK47 V1.0 \r\na\r\nb\r\nM DMM Record: \r\n\r\n"));
    EXPECT_FALSE(logOfRecordFile("QVDATALINK47 V1.0\r\n2026\r\n"));
    EXPECT_FALSE(logOfRecordFile("QVDATALINK47 V1.0\r\n7302\r\ntitle\r\n2026-12-07\r\n\r\n"));
    EXPECT_EQ(logOfRecordFile("QVDATALINK47 V1.0\r\na\r\nb\r\nM DMM Record: \r\n\r\n"), "");

    // The CSV gives the log back, line for line (the empty line is left out of the CSV).
    EXPECT_EQ(logOfRecordCsv(recordCsv(*log)), log->substr(0, log->size() - 2));
    EXPECT_EQ(logOfRecordCsv("time,value,unit,text\n12:00:00,1,V,\"  1.000V \"\"x\"\"\"\n"
                             "12:00:01,2,V,  2.000V\nedited,  3.000V"), // LF, then no line end
              "  12:00:00      1.00 0V \"x\"\r\n  12:00:01      2.00 0V\r\n  3.000V\r\n");
    EXPECT_FALSE(logOfRecordCsv("time,value,unit\r\n"));
    EXPECT_FALSE(logOfRecordCsv("time,value,unit,text\r\n1,2,3,\"never closed\r\n"));
}

using test::contents;

// A cut last line is mended as asked (here "!" ends a whole line, else it becomes a comment), or
// cut when nothing is asked; another kind of file is refused as it is; opening only looks.
TEST(LineFile, ContinuesAfterTheLastLineMendingACutOneAndRefusesAnotherKindOfFile) {
    const LineFile::Options mend{"h\r\n", [](std::string_view tail) {
                                     return std::string(tail.ends_with('!') ? "" : "# cut: ") +
                                            std::string(tail) + "\r\n";
                                 }};
    const LineFile::Options cut{"", nullptr};
    const std::string many(200000, 'y');
    // the file (none: none), how opened; the file after one line more (none: refused), continued
    const std::tuple<std::optional<std::string>, const LineFile::Options *,
                     std::optional<std::string>, bool>
        cases[] = {
            {std::nullopt, &mend, "h\r\nx\r\n", false},
            {"", &mend, "h\r\nx\r\n", false},
            {"h\r\na\r\n", &mend, "h\r\na\r\nx\r\n", true},
            {"h\na\n", &mend, "h\na\nx\r\n", true},                             // LF line ends
            {"h\r\na\r\nb,12", &mend, "h\r\na\r\n# cut: b,12\r\nx\r\n", true},  // not whole
            {"h\r\na\r\nb!", &mend, "h\r\na\r\nb!\r\nx\r\n", true},             // whole
            {"h\r\na\r\nb!\r", &mend, "h\r\na\r\nb!\r\nx\r\n", true},           // before its LF
            {"h\r\n" + many, &mend, "h\r\n# cut: " + many + "\r\nx\r\n", true}, // across chunks
            {"h", &mend, "h\r\nx\r\n", false},                                  // a cut first line
            {"h\r\n", &mend, "h\r\nx\r\n", false}, // the first line alone: nothing to go on from
            {"h\r", &mend, "h\r\nx\r\n", false},
            {"h,par", &mend, std::nullopt, false},          // another kind of file
            {"other\r\nh\r\n", &mend, std::nullopt, false}, // also with lines
            {"hh\r\n", &mend, std::nullopt, false},
            {"a\r\nb,12", &cut, "a\r\nx\r\n", true}, // cut: whole lines only
            {"b,12", &cut, "x\r\n", false},
        };
    const std::string path = ::testing::TempDir() + "qvlink-linefile-" + std::to_string(::getpid());
    const long open = test::openDescriptors();
    for (const auto &[before, options, after, continued] : cases) {
        std::filesystem::remove(path);
        if (before)
            std::ofstream(path, std::ios::binary) << *before;
        std::string error;
        auto file = LineFile::open(path, *options, error);
        ASSERT_EQ(bool(file), bool(after)) << error;
        EXPECT_EQ(contents(path), before.value_or("")) << "opening only looks";
        if (!file) {
            EXPECT_EQ(error, "cannot append to " + path +
                                 ": its first line is not \"h\" (a file of another kind is left "
                                 "as it is)");
            continue;
        }
        EXPECT_EQ(file->continued(), continued) << *after;
        ASSERT_TRUE(file->append("x\r\n", error));
        file->discard(); // only a file nothing was written into goes
        file.reset();
        EXPECT_EQ(std::pair(contents(path), test::openDescriptors()), std::pair(*after, open));
    }
    // A mended line that cannot be written over the cut one: the system's reason.
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << "h\r\na\r\nb,12";
    std::string error;
    auto file = LineFile::open(path, mend, error);
    ASSERT_TRUE(file) << error;
    const auto refuse = [&path](bool on) { // read-only, and immutable for root
        ::chmod(path.c_str(), on ? 0400 : 0600);
        const int fd = ::open(path.c_str(), O_RDONLY);
        int flags = 0;
        if (::geteuid() == 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            (void)::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    };
    refuse(true);
    EXPECT_FALSE(file->append("x\r\n", error));
    refuse(false);
    EXPECT_TRUE(error == std::strerror(EPERM) || error == std::strerror(EACCES)) << error;
    std::filesystem::remove(path);
    EXPECT_FALSE(LineFile::open("/nonexistent-dir/x.csv", mend, error));
    EXPECT_NE(error.find("/nonexistent-dir/x.csv"), std::string::npos) << error;
}

} // namespace
} // namespace qv::output
