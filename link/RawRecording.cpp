#include "link/RawRecording.h"

#include <fstream>
#include <istream>

namespace qv::link {

namespace {

constexpr std::size_t kMaxHeaderLine = 512;

/// Reads up to n bytes; how many came.
[[nodiscard]] std::size_t readUpTo(std::istream &in, std::uint8_t *to, std::size_t n) {
    in.read(reinterpret_cast<char *>(to), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(in.gcount());
}

/// The header line without its "\n"; nullopt when there is no line end within the limit.
[[nodiscard]] std::optional<std::string> headerLine(std::istream &in) {
    std::string line;
    for (char c; line.size() <= kMaxHeaderLine && in.get(c);) {
        if (c == '\n')
            return line;
        line += c;
    }
    return std::nullopt;
}

} // namespace

std::optional<RawRecording> readRawRecording(std::istream &in, std::string &error) {
    const std::string magic = kRawRecordingMagic;
    const std::optional<std::string> line = headerLine(in);
    if (!line || line->compare(0, magic.size(), magic) != 0 ||
        (line->size() > magic.size() && (*line)[magic.size()] != ' ')) {
        error = "not a raw recording: the first line must begin with \"" + magic + "\"";
        return std::nullopt;
    }
    RawRecording rec;
    rec.note = line->size() > magic.size() ? line->substr(magic.size() + 1) : std::string{};
    for (;;) {
        std::uint8_t head[6];
        in.read(reinterpret_cast<char *>(head), sizeof head);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            return rec;
        RawRecord r;
        const std::size_t length = head[4] | std::size_t(head[5]) << 8;
        r.bytes.resize(length);
        const std::size_t body = got < sizeof head ? 0 : readUpTo(in, r.bytes.data(), length);
        if (got < sizeof head || body < length) {
            rec.truncated = true;
            rec.cutBytes = got + body;
            return rec;
        }
        r.ms = head[0] | std::uint32_t(head[1]) << 8 | std::uint32_t(head[2]) << 16 |
               std::uint32_t(head[3]) << 24;
        rec.records.push_back(std::move(r));
    }
}

std::optional<RawRecording> readRawRecording(const std::string &path, std::string &error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    std::optional<RawRecording> rec = readRawRecording(in, error);
    if (!rec)
        error = path + ": " + error;
    return rec;
}

} // namespace qv::link
