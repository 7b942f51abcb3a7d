#pragma once
#include "app/cli/CaptureSettings.h"
#include "app/cli/LocalTimeStamp.h"
#include "common/Form.h"
#include "output/LineFile.h"
#include "platform/Pictures.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace qv::app {
class ExportCommands;
}

namespace qv::app::cli {

/// What a capture keeps: the readings as CSV lines, each written whole as it is taken, with the
/// date and time to the millisecond; the link's gaps as comment lines; the scope's frames as
/// files named by date, time and number.
class CaptureOutput {
  public:
    /// The CSV's first line (without its line end).
    static constexpr std::string_view kHeader = "date_time,time,value,unit,text";

    /// pictures: what writes the frames' PNG (null: no PNG is asked for).
    CaptureOutput(const CaptureSettings &settings, common::Form &form,
                  platform::PictureWriter *pictures);

    /// Opens the CSV (continuing one that exists, refusing one of another kind) and makes the
    /// frames' folder: kDone, or the exit code after a message. Nothing is written yet.
    [[nodiscard]] int open();
    /// The capture never began: a CSV or folder that open made goes again; others stay as they
    /// were.
    void abandon();
    /// The link is up: a comment line with the date and time.
    [[nodiscard]] bool started();
    /// A live reading (16 characters) as a line of its own; false after a write error.
    [[nodiscard]] bool liveReading(const std::string &reading);
    /// Text the log received (lines ended by CR LF); false after a write error.
    [[nodiscard]] bool logged(std::string_view text);
    /// The waveform on the scope, in every format asked for; false after a write error.
    [[nodiscard]] bool frame(ExportCommands &exports);
    /// A frame that did not arrive whole (a lost or repeated packet) is not kept, only counted.
    void skipFrame() { ++skipped_; }
    /// The link was lost (true) or came back (false): a comment line.
    [[nodiscard]] bool gap(bool lost);
    /// Writes the readings kept since the last flush in one write(): at --interval 0 the rows
    /// of one turn of the event loop (one read from the port) go out together at its end,
    /// earlier ones wait for nothing. False after a write error.
    [[nodiscard]] bool flush();
    /// Empties the program's log (its rows went out as they were appended), so a day-long
    /// capture keeps its memory.
    void trimLog();

    /// A limit (--count, --frames) was reached.
    [[nodiscard]] bool done() const;
    /// "12 readings, 3 frames".
    [[nodiscard]] std::string keptText() const;
    /// "skipped 2 frames not received whole"; empty when none was.
    [[nodiscard]] std::string skippedText() const;
    /// The last reading kept, trimmed.
    [[nodiscard]] std::string last() const { return last_; }
    /// A comment line "# key,<date and time>,value"; false after a write error.
    [[nodiscard]] bool note(std::string_view key, const std::string &value);
    /// Now as "2026-12-07T10:15:03.123+01:00", made once per millisecond.
    [[nodiscard]] const std::string &now();

    /// Told of each reading kept (its date and time as in the CSV, the log line) and each frame
    /// kept (its date and time).
    std::function<void(const std::string &time, std::string_view line)> onReading;
    std::function<void(const std::string &time)> onFrame;

  private:
    /// A comment line (without its line end).
    [[nodiscard]] bool writeLine(std::string line);
    /// A row with its line end, in one write.
    [[nodiscard]] bool writeRow(std::string_view row);
    /// A log line as a row, stamped.
    [[nodiscard]] bool keepLogLine(std::string_view line, const std::string &stamp);
    [[nodiscard]] bool writeFrameFile(const std::string &path, std::string_view text);

    const CaptureSettings &settings_;
    common::Form &form_;
    platform::PictureWriter *pictures_;
    std::unique_ptr<output::LineFile> csv_;
    long long readings_ = 0, frames_ = 0, skipped_ = 0;
    bool failed_ = false;       ///< a line could not be written: nothing more is
    QString madeDir_, madeTop_; ///< the frames' folder; the highest folder open made for it
    std::string last_;
    LocalTimeStamp stamps_;
    std::string line_, row_; ///< a reading's log line and CSV row, their memory kept
    std::string pending_;    ///< rows of this turn, each ended by CR LF
    long long pendingRows_ = 0;
};

} // namespace qv::app::cli
