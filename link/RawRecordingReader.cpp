#include "link/RawRecordingReader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace qv::link {
namespace {

constexpr std::size_t kBuffer = 64 * 1024;
constexpr std::size_t kMaxHeaderLine = 513; ///< characters before the header's "\n"
constexpr std::size_t kHead = 6;            ///< [u32 ms][u16 length]

} // namespace

RawRecordingReader::RawRecordingReader(std::unique_ptr<std::istream> in)
    : in_(std::move(in)), buffer_(kBuffer) {}

std::unique_ptr<RawRecordingReader> RawRecordingReader::open(std::unique_ptr<std::istream> in,
                                                             std::string &error) {
    std::unique_ptr<RawRecordingReader> reader(new RawRecordingReader(std::move(in)));
    if (!reader->readHeader(error))
        return nullptr;
    reader->walk();
    return reader;
}

std::unique_ptr<RawRecordingReader> RawRecordingReader::open(const std::string &path,
                                                             std::string &error) {
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*file) {
        error = "cannot read " + path;
        return nullptr;
    }
    std::unique_ptr<std::istream> in = std::move(file);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        // A pipe or a device is read once: what it gives is kept to be read again.
        std::ostringstream all;
        all << in->rdbuf();
        in = std::make_unique<std::istringstream>(std::move(all).str());
    }
    std::unique_ptr<RawRecordingReader> reader = open(std::move(in), error);
    if (!reader)
        error = path + ": " + error;
    return reader;
}

std::size_t RawRecordingReader::read(std::uint8_t *to, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        if (at_ == end_) {
            in_->read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
            end_ = static_cast<std::size_t>(in_->gcount());
            at_ = 0;
            if (end_ == 0)
                break;
        }
        const std::size_t k = std::min(n - got, end_ - at_);
        if (to)
            std::memcpy(to + got, buffer_.data() + at_, k);
        at_ += k;
        got += k;
    }
    return got;
}

bool RawRecordingReader::readHeader(std::string &error) {
    const std::string magic = kRawRecordingMagic;
    std::string line;
    std::uint8_t c = 0;
    bool ended = false;
    while (line.size() <= kMaxHeaderLine && read(&c, 1) == 1) {
        if (c == '\n') {
            ended = true;
            break;
        }
        line += static_cast<char>(c);
    }
    if (!ended || line.compare(0, magic.size(), magic) != 0 ||
        (line.size() > magic.size() && line[magic.size()] != ' ')) {
        error = "not a raw recording: the first line must begin with \"" + magic + "\"";
        return false;
    }
    note_ = line.size() > magic.size() ? line.substr(magic.size() + 1) : std::string{};
    recordsAt_ = static_cast<std::streamoff>(line.size() + 1);
    return true;
}

void RawRecordingReader::walk() {
    for (;;) {
        // Heads and bodies inside the buffer are passed where they lie (a million records of
        // one packet take a few milliseconds); read() takes those that cross its end.
        std::uint8_t head[kHead];
        std::size_t got = kHead;
        if (end_ - at_ >= kHead) {
            std::memcpy(head, buffer_.data() + at_, kHead);
            at_ += kHead;
        } else {
            got = read(head, kHead);
        }
        if (got == 0)
            break;
        const std::size_t length = head[4] | std::size_t(head[5]) << 8;
        std::size_t body = 0;
        if (got == kHead && end_ - at_ >= length) {
            at_ += length;
            body = length;
        } else if (got == kHead) {
            body = read(nullptr, length);
        }
        if (got < kHead || body < length) {
            cutBytes_ = got + body;
            break;
        }
        ++records_;
    }
    // Back to the first record, to read them again one at a time.
    in_->clear();
    in_->seekg(recordsAt_);
    at_ = end_ = 0;
    left_ = records_;
}

const RawRecord *RawRecordingReader::peek() {
    if (loaded_)
        return &next_;
    if (left_ == 0)
        return nullptr;
    // A file cut since it was opened ends where it now ends.
    std::uint8_t head[kHead];
    if (read(head, kHead) < kHead) {
        left_ = 0;
        return nullptr;
    }
    next_.bytes.resize(head[4] | std::size_t(head[5]) << 8);
    if (read(next_.bytes.data(), next_.bytes.size()) < next_.bytes.size()) {
        left_ = 0;
        return nullptr;
    }
    next_.ms = head[0] | std::uint32_t(head[1]) << 8 | std::uint32_t(head[2]) << 16 |
               std::uint32_t(head[3]) << 24;
    loaded_ = true;
    return &next_;
}

void RawRecordingReader::take() {
    if (!peek())
        return;
    loaded_ = false;
    --left_;
}

} // namespace qv::link
