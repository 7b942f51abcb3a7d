#include "output/RecordCsv.h"

#include "dmm/ReadingValue.h"
#include "files/DmmRecordFormat.h"
#include "output/Csv.h"

#include <vector>

namespace qv::output {
namespace {

constexpr int kHeaderLines = 5; ///< header, date, time, model and title, an empty line
constexpr int kModelLine = 4;
constexpr std::string_view kRecordMark = " DMM Record: ";

/// The next line of text without its line end (CR LF, LF or CR); text moves past it.
std::string_view nextLine(std::string_view &text) {
    const auto end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
        text = {};
        return line;
    }
    const size_t skip = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    text.remove_prefix(end + skip);
    return line;
}

/// The fields of one CSV record (RFC 4180); text moves past it. None for a quote never closed.
std::optional<std::vector<std::string>> nextRecord(std::string_view &text) {
    std::vector<std::string> fields(1);
    std::size_t i = 0;
    bool quoted = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (text.substr(i + 1, 1) == "\"") // a doubled quote
                fields.back() += text[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\r' || c == '\n') {
            break;
        } else {
            fields.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    text.remove_prefix(i);
    (void)nextLine(text); // the line end
    return fields;
}

/// The log line a Record CSV row came from.
std::string logLineOf(const std::vector<std::string> &row) {
    if (row.size() != 4)
        return row.back();
    const std::string &time = row[0], &reading = row[3];
    if (time.empty())
        return reading;
    // Appended piece by piece: GCC 12 takes "literal + string" for an overlapping copy.
    std::string line(2, ' ');
    line += time;
    if (time.starts_with("No.")) {
        line += time.size() == 4 ? " :  " : ":  ";
        line += reading;
        return line;
    }
    line += "    ";
    line.append(reading, 0, 6);
    if (reading.size() > 6) {
        line += ' ';
        line.append(reading, 6);
    }
    return line;
}

} // namespace

std::string recordCsvRow(std::string_view line) {
    if (const auto parsed = dmm::parseLogLine(line)) {
        const dmm::ReadingValue value = dmm::parseReading(parsed->reading);
        std::string row = Csv::field(parsed->time);
        row += ',';
        row += Csv::number(value.value);
        row += ',';
        row += Csv::field(value.unit);
        row += ',';
        row += Csv::field(parsed->reading);
        return row;
    }
    return ",,," + Csv::field(line);
}

std::string recordCsv(std::string_view logText) {
    std::string out(kRecordCsvHeader);
    out += Csv::kLineEnd;
    while (!logText.empty()) {
        const std::string_view line = nextLine(logText);
        if (line.find_first_not_of(' ') == std::string_view::npos)
            continue;
        out += recordCsvRow(line);
        out += Csv::kLineEnd;
    }
    return out;
}

std::optional<std::string> logOfRecordFile(std::string_view fileText) {
    if (nextLine(fileText) != files::DmmRecordFormat::kHeader)
        return std::nullopt;
    // Line 4 names the model and the title; a waveform file, with the same first line, has its
    // date there.
    for (int i = 2; i <= kHeaderLines; ++i) {
        if (fileText.empty())
            return std::nullopt;
        const std::string_view line = nextLine(fileText);
        if (i == kModelLine && line.find(kRecordMark) == std::string_view::npos)
            return std::nullopt;
    }
    return std::string(fileText);
}

std::optional<std::string> logOfRecordCsv(std::string_view csvText) {
    if (nextLine(csvText) != kRecordCsvHeader)
        return std::nullopt;
    std::string log;
    while (!csvText.empty()) {
        const auto row = nextRecord(csvText);
        if (!row)
            return std::nullopt;
        log += logLineOf(*row) + "\r\n";
    }
    return log;
}

} // namespace qv::output
