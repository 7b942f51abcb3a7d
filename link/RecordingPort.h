#pragma once
#include "link/RawRecordingWriter.h"
#include "platform/SerialPort.h"

#include <chrono>
#include <functional>
#include <memory>

namespace qv::link {

/// A serial port that writes every byte the program receives through it into a raw recording,
/// with the milliseconds since the recording began. Everything else is the inner port's.
class RecordingPort final : public platform::SerialPort {
  public:
    using Now = std::function<std::uint32_t()>; ///< milliseconds since the start

    /// now: the clock of the records; by default the time since construction.
    RecordingPort(std::unique_ptr<platform::SerialPort> inner,
                  std::unique_ptr<RawRecordingWriter> writer, Now now = {});

    bool selectPort(int number) override { return inner_->selectPort(number); }
    int port() const override { return inner_->port(); }
    bool open() override { return inner_->open(); }
    bool close() override { return inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool setRts(bool on) override { return inner_->setRts(on); }
    bool setDtr(bool on) override { return inner_->setDtr(on); }
    std::optional<bool> dsr() override { return inner_->dsr(); }
    std::optional<bool> cts() override { return inner_->cts(); }
    std::vector<std::uint8_t> read() override;
    void setEventHandler(std::function<void(int)> handler) override {
        inner_->setEventHandler(std::move(handler));
    }
    void setFailureHandler(std::function<void()> handler) override {
        inner_->setFailureHandler(std::move(handler));
    }
    std::string deviceName(int number) const override { return inner_->deviceName(number); }
    bool selectDevice(const std::string &device) override { return inner_->selectDevice(device); }
    std::string lastError() const override { return inner_->lastError(); }

    /// Told once when the recording fails (a full disk); the link goes on unrecorded.
    void setRecordingFailed(std::function<void(const std::string &)> handler) {
        failed_ = std::move(handler);
    }
    [[nodiscard]] platform::SerialPort &inner() { return *inner_; }

  private:
    std::unique_ptr<platform::SerialPort> inner_;
    std::unique_ptr<RawRecordingWriter> writer_;
    Now now_;
    std::function<void(const std::string &)> failed_;
};

} // namespace qv::link
