#pragma once
#include "files/WaveformRecord.h"

#include <string>
#include <string_view>

namespace qv::files {

/// The 271-line waveform file: header, model name, title, date, time, an empty line, DsoParam
/// entries 0..7, an empty line and WaveData points 0..255, each line ending in CR LF, numbers
/// as print items (" 2.5 ", "-3 ").
class WaveformFormat {
  public:
    static constexpr std::string_view kHeader = "QVDATALINK47 V1.0";
    static constexpr int kLineCount = 271;
    /// The longest line a waveform file may have: far more than any title, date or number the
    /// program writes (the title box takes kMaxTitleChars characters, at most 4 bytes each).
    static constexpr std::size_t kMaxLineBytes = 4096;
    static constexpr int kMaxTitleChars = 1024;

    enum class Status {
        Ok,
        WrongFormat, ///< header or model name not recognised: the user is told
        ReadError,   ///< too short or unreadable: the open ends silently
    };
    struct Parsed {
        Status status = Status::ReadError;
        WaveformRecord record;
        /// Why the bytes are no waveform file, for the command line's messages ("line 7:
        /// \"1e400\" is not a number"); empty when they are one.
        std::string reason;
    };

    /// The file's text (UTF-8, before conversion to the system code page). Line breaks inside
    /// the text fields are written as blanks so that the file keeps its 271 lines.
    [[nodiscard]] static std::string compose(const WaveformRecord &record);

    /// Reads the first 271 lines of a file's bytes. Lines end in CR LF, LF or CR; the last line
    /// needs no line end; nothing after line 271 is looked at. A line over kMaxLineBytes makes
    /// it no waveform file (such a line would only freeze the screen that draws it).
    [[nodiscard]] static Parsed parse(std::string_view bytes);
};

} // namespace qv::files
