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
        if (line && line->size() > WaveformFormat::kMaxLineBytes)
            tooLong_ = true;
        return line;
    }

    /// A line was longer than any the program writes: no waveform file.
    [[nodiscard]] bool tooLong() const { return tooLong_; }

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
    bool tooLong_ = false;
};

// Reads count number lines into out; false when a line is missing or unreadable.
template <size_t N> bool readNumbers(LineReader &reader, std::array<double, N> &out) {
    for (double &value : out) {
        const auto line = reader.next();
        if (!line)
            return false;
        const auto number = leadingNumber(*line);
        if (!number)
            return false;
        value = *number;
    }
    return true;
}

WaveformFormat::Parsed parseLines(LineReader &reader) {
    using Status = WaveformFormat::Status;
    WaveformFormat::Parsed parsed;
    const auto header = reader.next();
    if (!header)
        return parsed;
    if (*header != WaveformFormat::kHeader) {
        parsed.status = Status::WrongFormat;
        return parsed;
    }
    const auto model = reader.next();
    if (!model)
        return parsed;
    WaveformRecord &record = parsed.record;
    record.modelName = std::string(*model);
    record.modelCode = dmm::modelCode(record.modelName);
    if (record.modelCode < 0) {
        parsed.status = Status::WrongFormat;
        return parsed;
    }
    for (std::string *field : {&record.title, &record.date, &record.time}) {
        const auto text = reader.next();
        if (!text)
            return parsed;
        *field = std::string(*text);
    }
    if (!reader.next() || !readNumbers(reader, record.params) || !reader.next() ||
        !readNumbers(reader, record.samples))
        return parsed;
    parsed.status = Status::Ok;
    return parsed;
}

} // namespace

std::string WaveformFormat::compose(const WaveformRecord &record) {
    std::string out;
    out.reserve(4096 + record.title.size());
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
    if (reader.tooLong())
        parsed.status = Status::WrongFormat;
    return parsed;
}

} // namespace qv::files
