#include "link/RawRecordingWriter.h"

#include "link/RawRecording.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qv::link {

RawRecordingWriter::~RawRecordingWriter() {
    close();
}

bool RawRecordingWriter::fail(const char *what) {
    error_ = path_ + ": " + what + " (" + std::strerror(errno) + ")";
    close();
    return false;
}

bool RawRecordingWriter::open(const std::string &path, const std::string &note) {
    close();
    path_ = path;
    error_.clear();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        return fail("cannot create the recording");
    const std::string header = std::string(kRawRecordingMagic) + " " + note + "\n";
    if (std::fwrite(header.data(), 1, header.size(), file_) != header.size() ||
        std::fflush(file_) != 0)
        return fail("cannot write the recording");
    return true;
}

bool RawRecordingWriter::write(std::uint32_t ms, std::span<const std::uint8_t> bytes) {
    if (!file_)
        return false;
    while (!bytes.empty()) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), 0xFFFF);
        const std::uint8_t head[6] = {std::uint8_t(ms),       std::uint8_t(ms >> 8),
                                      std::uint8_t(ms >> 16), std::uint8_t(ms >> 24),
                                      std::uint8_t(n),        std::uint8_t(n >> 8)};
        if (std::fwrite(head, 1, sizeof head, file_) != sizeof head ||
            std::fwrite(bytes.data(), 1, n, file_) != n)
            return fail("cannot write the recording");
        bytes = bytes.subspan(n);
    }
    if (std::fflush(file_) != 0)
        return fail("cannot write the recording");
    return true;
}

void RawRecordingWriter::close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
}

} // namespace qv::link
