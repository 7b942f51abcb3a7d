#include "app/cli/CaptureOutput.h"

#include "app/ExportCommands.h"
#include "app/cli/Cli.h"
#include "files/FileStore.h"
#include "files/TextCodec.h"
#include "files/WaveformFiles.h"
#include "files/WaveformFormat.h"
#include "output/Csv.h"
#include "output/RecordCsv.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace qv::app::cli {
namespace {

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

bool wants(const CaptureSettings &s, std::string_view format) {
    return std::find(s.formats.begin(), s.formats.end(), format) != s.formats.end();
}

/// Whether text is one whole row of the CSV: a date and time to the millisecond with its offset,
/// then four more fields, the last quoted and closed at the end.
bool wholeRow(std::string_view text) {
    constexpr std::size_t kDateTime = 29; // 2026-12-07T10:15:03.120+01:00
    if (text.size() <= kDateTime || text[kDateTime] != ',' || text[10] != 'T')
        return false;
    int fields = 1;
    bool quoted = false, closedLast = false;
    // A doubled quote inside quotes closes them and opens them again: the state stays.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted, closedLast = !quoted && i + 1 == text.size();
        else if (text[i] == ',' && !quoted)
            ++fields;
    }
    return fields == 5 && closedLast;
}

/// A last line the previous run left without its line end: a whole row (or a comment) keeps
/// its place with the line end added; anything else is kept as a comment line, control
/// characters written out, so that the file reads as CSV and nothing is lost.
std::string mendTail(std::string_view tail) {
    const auto control = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7F;
    };
    if ((tail.starts_with('#') || wholeRow(tail)) &&
        std::none_of(tail.begin(), tail.end(), control))
        return std::string(tail) + "\r\n";
    std::string line = "# cut at restart: ";
    for (const char c : tail) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            line += "\\r";
        } else if (control(c)) {
            line += QString::asprintf("\\x%02X", u).toStdString();
        } else {
            line += c;
        }
    }
    return line + "\r\n";
}

} // namespace

CaptureOutput::CaptureOutput(const CaptureSettings &settings, common::Form &form,
                             platform::PictureWriter *pictures)
    : settings_(settings), form_(form), pictures_(pictures) {}

int CaptureOutput::open() {
    if (!settings_.outDir.empty()) {
        // The highest folder made here, so that a capture that never began leaves none behind.
        const QString dir = QDir::cleanPath(
            QDir::current().absoluteFilePath(QString::fromStdString(settings_.outDir)));
        for (QString d = dir; !QFileInfo::exists(d); d = QFileInfo(d).path())
            madeTop_ = d;
        if (!QDir().mkpath(dir)) {
            complain("cannot make the folder " + settings_.outDir);
            return kOutputFailed;
        }
        madeDir_ = dir;
    }
    if (settings_.dmmCsv.empty())
        return kDone;
    std::string error;
    csv_ =
        output::LineFile::open(settings_.dmmCsv, {std::string(kHeader) + "\r\n", mendTail}, error);
    if (!csv_) {
        complain(error);
        return kOutputFailed;
    }
    return kDone;
}

void CaptureOutput::abandon() {
    if (csv_)
        csv_->discard();
    csv_.reset();
    if (madeTop_.isEmpty())
        return;
    for (QString d = madeDir_; QDir().rmdir(d) && d != madeTop_;)
        d = QFileInfo(d).path();
}

bool CaptureOutput::started() {
    return writeLine("# capture_started," + stamps_.now());
}

const std::string &CaptureOutput::now() {
    return stamps_.now();
}

bool CaptureOutput::note(std::string_view key, const std::string &value) {
    return writeLine("# " + std::string(key) + "," + now() + "," + value);
}

bool CaptureOutput::writeLine(std::string line) {
    line += "\r\n";
    return flush() && writeRow(line);
}

bool CaptureOutput::writeRow(std::string_view row) {
    if (failed_)
        return false;
    if (!csv_)
        return true;
    std::string error;
    if (csv_->append(row, error)) {
        // Lines at an interval reach the disk one by one; every reading of --interval 0 would be
        // too many, so those rely on the system's own writing back (within seconds).
        if (settings_.interval > 0)
            csv_->sync();
        return true;
    }
    complain("cannot write " + settings_.dmmCsv + ": " + error);
    csv_.reset();
    failed_ = true;
    return false;
}

bool CaptureOutput::keepLogLine(std::string_view line, const std::string &stamp) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return true;
    // The stamp needs no quotes: digits, '-', ':', '.', 'T' and '+'.
    row_.assign(stamp);
    row_ += ',';
    row_ += output::recordCsvRow(line);
    row_ += "\r\n";
    last_.assign(trimmed(line.substr(std::min(line.size(), first + 8))));
    if (settings_.interval == 0 && csv_ && !failed_) {
        // Every reading of a turn goes out in one write at its end (flush).
        pending_ += row_;
        ++pendingRows_;
        if (onReading)
            onReading(stamp, line);
        return true;
    }
    // Counted once written: the summary says what the file holds.
    if (!writeRow(row_))
        return false;
    ++readings_;
    if (onReading)
        onReading(stamp, line);
    return true;
}

bool CaptureOutput::flush() {
    if (pendingRows_ == 0)
        return !failed_;
    std::string error;
    bool ok = true;
    if (csv_->append(pending_, error)) {
        readings_ += pendingRows_;
    } else {
        // The write failed whole (a full disk, the size limit): row by row, the file keeps
        // every whole row that fits.
        for (std::string_view rows = pending_; ok && !rows.empty();) {
            const std::size_t newline = rows.find('\n');
            const std::size_t end = newline == std::string_view::npos ? rows.size() : newline + 1;
            ok = writeRow(rows.substr(0, end));
            readings_ += ok ? 1 : 0;
            rows.remove_prefix(end);
        }
    }
    pending_.clear();
    pendingRows_ = 0;
    return ok;
}

bool CaptureOutput::liveReading(const std::string &reading) {
    if (done())
        return true;
    // The line the record log would write: time of day, the value field and the rest.
    const std::string &stamp = stamps_.now();
    line_.assign(2, ' ');
    line_.append(stamp, 11, 8);
    line_ += "    ";
    line_.append(reading, 0, 6);
    line_ += ' ';
    line_.append(reading, std::min<std::size_t>(6, reading.size()), 10);
    return keepLogLine(line_, stamp);
}

bool CaptureOutput::logged(std::string_view text) {
    while (!text.empty() && !done()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!keepLogLine(line, stamps_.now()))
            return false;
    }
    return true;
}

bool CaptureOutput::gap(bool lost) {
    return writeLine(std::string(lost ? "# link_lost," : "# link_back,") + stamps_.now());
}

void CaptureOutput::trimLog() {
    form_.el.RichTextBox1.setText({});
}

bool CaptureOutput::writeFrameFile(const std::string &path, std::string_view text) {
    const auto written = files::FileStore::write(path, text);
    if (!written.ok)
        complain("cannot write " + path + ": " + written.reason);
    return written.ok;
}

bool CaptureOutput::frame(ExportCommands &exports) {
    if ((settings_.outDir.empty() && !settings_.mqtt) || done())
        return true;
    ++frames_;
    if (onFrame)
        onFrame(now());
    if (settings_.outDir.empty())
        return true;
    // Named by the local date and time to the second and the number: "2026-12-07T10-15-03_0001".
    std::string when = stamps_.now().substr(0, 19);
    std::replace(when.begin(), when.end(), ':', '-');
    const std::string stem =
        QDir(QString::fromStdString(settings_.outDir))
            .filePath(QString::fromStdString(when) + QString::asprintf("_%04lld", frames_))
            .toStdString();
    last_ = "frame " + std::to_string(frames_);
    if (wants(settings_, "dso") &&
        !writeFrameFile(stem + ".dso", files::TextCodec::toSystem(files::WaveformFormat::compose(
                                           files::waveformRecordOf(form_)))))
        return false;
    if (wants(settings_, "csv") && !writeFrameFile(stem + ".csv", exports.waveformCsv()))
        return false;
    if (pictures_) { // there only when PNG frames are asked for
        const auto written =
            pictures_->write(stem + ".png", platform::PictureFormat::Png, form_.el.Picture1,
                             ExportCommands::kScreenWidth, ExportCommands::kScreenHeight, 1);
        if (!written.ok) {
            complain("cannot write " + stem + ".png: " + written.reason);
            return false;
        }
    }
    return true;
}

bool CaptureOutput::done() const {
    return (settings_.count > 0 && readings_ + pendingRows_ >= settings_.count) ||
           (settings_.frames > 0 && frames_ >= settings_.frames);
}

std::string CaptureOutput::keptText() const {
    return std::to_string(readings_) + " readings, " + std::to_string(frames_) + " frames";
}

std::string CaptureOutput::skippedText() const {
    if (skipped_ == 0)
        return {};
    return "skipped " + std::to_string(skipped_) + (skipped_ == 1 ? " frame" : " frames") +
           " not received whole";
}

} // namespace qv::app::cli
