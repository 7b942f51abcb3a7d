#include "files/WaveformFormat.h"

#include "common/NumberFormat.h"
#include "dmm/MeterIdentity.h"
#include "files/LeadingNumber.h"

#include <optional>

namespace qv::files {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// One text field on one line: CR and LF become blanks.
std::string oneLine(std::string text) {
    for (char &c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// Hands out the lines of a byte string one by one.
class LineReader {
  public:
    explicit LineReader(std::string_view data) : data_(data) {}

    [[nodiscard]] std::optional<std::string_view> next() {
        if (pos_ >= data_.size())
            return std::nullopt;
        const std::optional<std::string_view> line = take();
        ++lines_;
        if (line && line->size() > WaveformFormat::kMaxLineBytes && tooLong_ == 0)
            tooLong_ = lines_;
        return line;
    }

    /// The first line longer than any the program writes (no waveform file); 0 for none.
    [[nodiscard]] int tooLong() const { return tooLong_; }
    /// The lines handed out so far, which is the number of the last one.
    [[nodiscard]] int lines() const { return lines_; }

  private:
    std::optional<std::string_view> take() {
        const size_t end = data_.find_first_of("\r\n", pos_);
        if (end == std::string_view::npos) {
            const std::string_view line = data_.substr(pos_);
            pos_ = data_.size();
            return line;
        }
        const std::string_view line = data_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (data_[end] == '\r' && pos_ < data_.size() && data_[pos_] == '\n')
            ++pos_;
        return line;
    }

    std::string_view data_;
    size_t pos_ = 0;
    int lines_ = 0;
    int tooLong_ = 0;
};

// A piece of a file for a message: control bytes written as \xNN, at most 40 bytes.
std::string quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    std::string_view shown = text.substr(0, kShown);
    while (shown.size() < text.size() && !shown.empty() &&
           (static_cast<unsigned char>(text[shown.size()]) & 0xC0) == 0x80)
        shown.remove_suffix(1); // not inside a UTF-8 character
    std::string out = "\"";
    for (const char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            constexpr std::string_view kHex = "0123456789abcdef";
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out + (shown.size() < text.size() ? "...\"" : "\"");
}

std::string_view trimmed(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

std::string shortFile(int lines) {
    if (lines == 0)
        return "empty";
    return "shorter than " + std::to_string(WaveformFormat::kLineCount) +
           " lines: it ends after line " + std::to_string(lines);
}

// Reads count number lines into out; false when a line is missing or unreadable, with the reason.
template <size_t N>
bool readNumbers(LineReader &reader, std::array<double, N> &out, std::string &reason) {
    for (double &value : out) {
        const auto line = reader.next();
        if (!line) {
            reason = shortFile(reader.lines());
            return false;
        }
        const auto number = leadingNumber(*line);
        if (!number) {
            reason = "line " + std::to_string(reader.lines()) + ": " + quoted(trimmed(*line)) +
                     " is not a number";
            return false;
        }
        value = *number;
    }
    return true;
}

WaveformFormat::Parsed parseLines(LineReader &reader) {
    using Status = WaveformFormat::Status;
    WaveformFormat::Parsed parsed;
    const auto ended = [&reader, &parsed] {
        parsed.reason = shortFile(reader.lines());
        return parsed;
    };
    const auto header = reader.next();
    if (!header)
        return ended();
    if (*header != WaveformFormat::kHeader) {
        parsed.status = Status::WrongFormat;
        parsed.reason = "the first line is not \"" + std::string(WaveformFormat::kHeader) + "\"";
        return parsed;
    }
    const auto model = reader.next();
    if (!model)
        return ended();
    WaveformRecord &record = parsed.record;
    record.modelName = std::string(*model);
    record.modelCode = dmm::modelCode(record.modelName);
    if (record.modelCode < 0) {
        parsed.status = Status::WrongFormat;
        parsed.reason = "unknown meter model " + quoted(record.modelName);
        return parsed;
    }
    for (std::string *field : {&record.title, &record.date, &record.time}) {
        const auto text = reader.next();
        if (!text)
            return ended();
        *field = std::string(*text);
    }
    if (!reader.next())
        return ended();
    if (!readNumbers(reader, record.params, parsed.reason))
        return parsed;
    if (!reader.next())
        return ended();
    if (!readNumbers(reader, record.samples, parsed.reason))
        return parsed;
    parsed.status = Status::Ok;
    return parsed;
}

} // namespace

std::string WaveformFormat::compose(const WaveformRecord &record) {
    std::string out;
    const auto line = [&out](std::string_view text) {
        out += text;
        out += kLineEnd;
    };
    line(kHeader);
    line(oneLine(record.modelName));
    line(oneLine(record.title));
    line(oneLine(record.date));
    line(oneLine(record.time));
    line("");
    for (double p : record.params)
        line(common::printItem(p));
    line("");
    for (double s : record.samples)
        line(common::printItem(s));
    return out;
}

WaveformFormat::Parsed WaveformFormat::parse(std::string_view bytes) {
    LineReader reader(bytes);
    Parsed parsed = parseLines(reader);
    if (reader.tooLong() != 0) {
        parsed.status = Status::WrongFormat;
        parsed.reason = "line " + std::to_string(reader.tooLong()) + " is longer than " +
                        std::to_string(kMaxLineBytes) + " bytes";
    }
    return parsed;
}

} // namespace qv::files
