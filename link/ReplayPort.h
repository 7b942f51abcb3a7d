#pragma once
#include "link/RawRecordSource.h"
#include "link/StandInPort.h"

#include <functional>
#include <memory>

namespace qv::link {

/// A raw recording played back as a meter on one port number (port 1 in the window, where the
/// virtual meter stands in a demo). The pace is the caller's: playUntil for recorded time,
/// playNext for as fast as the program takes them. A recording without a record is no meter: its
/// port number does not open. The records are taken from their source one at a time.
class ReplayPort final : public StandInPort {
  public:
    ReplayPort(int number, std::unique_ptr<RawRecordSource> records,
               std::unique_ptr<platform::SerialPort> others = nullptr);
    ReplayPort(int number, RawRecording recording,
               std::unique_ptr<platform::SerialPort> others = nullptr)
        : ReplayPort(number, recordSource(std::move(recording)), std::move(others)) {}

    /// Plays every record up to ms of the recording's time; nothing while not streaming.
    void playUntil(std::uint64_t ms);
    /// Plays whole records up to about maxBytes (at least one); nothing while not streaming.
    void playNext(std::size_t maxBytes);
    /// The recorded time of the next record; nullopt at the end.
    [[nodiscard]] std::optional<std::uint32_t> nextTime() const;
    [[nodiscard]] bool finished() const { return records_->peek() == nullptr; }
    bool open() override;
    /// Told when streaming starts or stops (the pacer's cue).
    void setStreamingHandler(std::function<void(bool)> handler) { streaming_ = std::move(handler); }

  private:
    void linesChanged() override;
    [[nodiscard]] std::string ownDeviceName() const override;
    /// Plays the next record; its size.
    std::size_t playOne(const RawRecord &record);

    std::unique_ptr<RawRecordSource> records_;
    bool wasStreaming_ = false;
    std::function<void(bool)> streaming_;
};

} // namespace qv::link
