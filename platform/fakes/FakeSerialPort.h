#pragma once
#include "platform/ReceiveQueue.h"
#include "platform/SerialPort.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace qv::platform::fakes {

/// How one of the eight ports behaves.
struct FakePort {
    bool exists = true;        ///< false: opening fails (no such port)
    bool busy = false;         ///< another program holds it: opening fails
    bool cable = false;        ///< DSR and CTS follow RTS and DTR (a meter is connected)
    bool linesFail = false;    ///< reading DSR/CTS fails
    bool closeFails = false;   ///< closing fails
    bool noModemLines = false; ///< a pseudo-terminal: setting RTS/DTR and reading DSR/CTS fail
};

/// A serial port double over a table of ports. Tests deliver bytes as the operating system
/// would, in batches of any size; events are raised per 20 bytes like the real port.
class FakeSerialPort final : public SerialPort {
  public:
    std::array<FakePort, 9> ports{}; ///< index 1..8
    /// Devices chosen by name; a name that is not here does not exist.
    std::map<std::string, FakePort> devices;
    std::vector<std::string> log; ///< operations in order, e.g. "open 3", "rts 3"

    bool selectPort(int number) override;
    int port() const override { return port_; }
    bool open() override;
    bool close() override;
    bool isOpen() const override { return open_; }
    bool setRts(bool on) override;
    bool setDtr(bool on) override;
    std::optional<bool> dsr() override;
    std::optional<bool> cts() override;
    std::vector<std::uint8_t> read() override { return queue_.take(); }
    void setEventHandler(std::function<void(int)> handler) override {
        handler_ = std::move(handler);
    }
    void setFailureHandler(std::function<void()> handler) override {
        failure_ = std::move(handler);
    }
    std::string deviceName(int number) const override;
    bool selectDevice(const std::string &device) override;
    std::string lastError() const override { return lastError_; }

    /// The operating system delivers a batch of bytes (ignored while the port is closed).
    void deliver(const std::vector<std::uint8_t> &bytes);
    /// Raises an event with another code (a line-state change, an error report).
    void raise(int code);
    /// The device disappears while open.
    void fail();

  private:
    [[nodiscard]] const FakePort &current() const;

    int port_ = 1;
    std::string named_, lastError_;
    bool open_ = false, rts_ = false, dtr_ = false;
    ReceiveQueue queue_{SerialPort::kThreshold};
    std::function<void(int)> handler_;
    std::function<void()> failure_;
};

} // namespace qv::platform::fakes
