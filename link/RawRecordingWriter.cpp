#include "link/RawRecordingWriter.h"

#include "link/RawRecording.h"

#include <algorithm>

namespace qv::link {

bool RawRecordingWriter::fail(const char *what, const std::string &reason) {
    error_ = path_ + ": " + what + " (" + reason + ")";
    close();
    return false;
}

bool RawRecordingWriter::open(const std::string &path, const std::string &note) {
    close();
    path_ = path;
    error_.clear();
    if (const auto opened = file_.open(path); !opened.ok)
        return fail("cannot create the recording", opened.reason);
    const std::string header = std::string(kRawRecordingMagic) + " " + note + "\n";
    if (const auto written = file_.write(header); !written.ok)
        return fail("cannot write the recording", written.reason);
    // The recording takes the name now; the records follow as they come.
    if (const auto committed = file_.commit(false, platform::FileOutput::After::KeepWriting);
        !committed.ok)
        return fail("cannot write the recording", committed.reason);
    return true;
}

bool RawRecordingWriter::write(std::uint32_t ms, std::span<const std::uint8_t> bytes) {
    if (!file_.isOpen())
        return false;
    // One write for all the records of a read.
    std::string records;
    while (!bytes.empty()) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), 0xFFFF);
        const char head[6] = {char(ms),       char(ms >> 8), char(ms >> 16),
                              char(ms >> 24), char(n),       char(n >> 8)};
        records.append(head, sizeof head);
        records.append(reinterpret_cast<const char *>(bytes.data()), n);
        bytes = bytes.subspan(n);
    }
    if (const auto written = file_.write(records); !written.ok)
        return fail("cannot write the recording", written.reason);
    return true;
}

} // namespace qv::link
