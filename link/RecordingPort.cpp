#include "link/RecordingPort.h"

namespace qv::link {

RecordingPort::RecordingPort(std::unique_ptr<platform::SerialPort> inner,
                             std::unique_ptr<RawRecordingWriter> writer, Now now)
    : inner_(std::move(inner)), writer_(std::move(writer)), now_(std::move(now)) {
    if (!now_) {
        const auto start = std::chrono::steady_clock::now();
        now_ = [start] {
            const auto d = std::chrono::steady_clock::now() - start;
            return static_cast<std::uint32_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
        };
    }
}

std::vector<std::uint8_t> RecordingPort::read() {
    std::vector<std::uint8_t> bytes = inner_->read();
    if (bytes.empty() || !writer_ || writer_->failed())
        return bytes;
    if (!writer_->write(now_(), bytes) && failed_)
        failed_(writer_->error());
    return bytes;
}

} // namespace qv::link
