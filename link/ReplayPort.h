#pragma once
#include "link/RawRecording.h"
#include "platform/ReceiveQueue.h"
#include "platform/SerialPort.h"

#include <functional>
#include <memory>

namespace qv::link {

/// A raw recording played back as a meter on one port number (port 1 in the window, where the
/// virtual meter stands in a demo). Like the meter's cable it answers with DSR and CTS once RTS
/// and DTR are raised, and only then do bytes flow, through the same receive queue as a real
/// port. The pace is the caller's: playUntil for recorded time, playNext for as fast as the
/// program takes them. Other port numbers and named devices go to `others` when given.
class ReplayPort final : public platform::SerialPort {
  public:
    ReplayPort(int number, RawRecording recording,
               std::unique_ptr<platform::SerialPort> others = nullptr);
    ~ReplayPort() override;
    ReplayPort(const ReplayPort &) = delete;
    ReplayPort &operator=(const ReplayPort &) = delete;

    bool selectPort(int number) override;
    int port() const override { return port_; }
    bool open() override;
    bool close() override;
    bool isOpen() const override;
    bool setRts(bool on) override;
    bool setDtr(bool on) override;
    std::optional<bool> dsr() override;
    std::optional<bool> cts() override;
    std::vector<std::uint8_t> read() override;
    void setEventHandler(std::function<void(int)> handler) override;
    void setFailureHandler(std::function<void()> handler) override;
    std::string deviceName(int number) const override;
    bool selectDevice(const std::string &device) override;
    std::string lastError() const override;

    /// Plays every record up to ms of the recording's time; nothing while not streaming.
    void playUntil(std::uint64_t ms);
    /// Plays whole records up to about maxBytes (at least one); nothing while not streaming.
    void playNext(std::size_t maxBytes);
    /// The recorded time of the next record; nullopt at the end.
    [[nodiscard]] std::optional<std::uint32_t> nextTime() const;
    [[nodiscard]] bool finished() const { return next_ >= recording_.records.size(); }
    /// Bytes flow: the replay's port is open with RTS and DTR raised.
    [[nodiscard]] bool streaming() const { return onReplay() && open_ && rts_ && dtr_; }
    /// Told when streaming starts or stops (the pacer's cue).
    void setStreamingHandler(std::function<void(bool)> handler) { streaming_ = std::move(handler); }

  private:
    [[nodiscard]] bool onReplay() const { return port_ == number_; }
    void playOne();
    void linesChanged();

    int number_;
    RawRecording recording_;
    std::unique_ptr<platform::SerialPort> others_;
    platform::ReceiveQueue queue_{SerialPort::kThreshold};
    std::size_t next_ = 0;
    int port_ = 1;
    bool open_ = false, rts_ = false, dtr_ = false, wasStreaming_ = false;
    std::function<void(int)> handler_;
    std::function<void()> failure_;
    std::function<void(bool)> streaming_;
};

} // namespace qv::link
