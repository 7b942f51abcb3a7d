#pragma once
#include "platform/ReceiveQueue.h"
#include "platform/SerialPort.h"

#include <functional>
#include <memory>

namespace qv::link {

/// A meter without hardware standing on one port number: like the real cable it answers with
/// DSR and CTS once RTS and DTR are raised, and only then do bytes flow, through the same receive
/// queue as a real port. Other port numbers and named devices go to `others` when given, else
/// they do not exist. Subclasses decide where the bytes come from and when.
class StandInPort : public platform::SerialPort {
  public:
    StandInPort(int number, std::unique_ptr<platform::SerialPort> others);
    StandInPort(const StandInPort &) = delete;
    StandInPort &operator=(const StandInPort &) = delete;

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

    /// Bytes flow: the stand-in's port is open with RTS and DTR raised.
    [[nodiscard]] bool streaming() const { return onOwnPort() && open_ && rts_ && dtr_; }

  protected:
    [[nodiscard]] bool onOwnPort() const { return port_ == number_; }
    /// Hands bytes to the receive queue, raising the receive event as a port does.
    void deliver(const std::vector<std::uint8_t> &bytes);
    /// Called after the port opened, closed or changed RTS or DTR.
    virtual void linesChanged() {}
    /// What stands behind the stand-in's own number, for the user.
    [[nodiscard]] virtual std::string ownDeviceName() const = 0;

  private:
    int number_;
    std::unique_ptr<platform::SerialPort> others_;
    platform::ReceiveQueue queue_{SerialPort::kThreshold};
    int port_ = 1;
    bool open_ = false, rts_ = false, dtr_ = false;
    std::function<void(int)> handler_;
};

} // namespace qv::link
