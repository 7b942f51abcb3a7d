#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv::platform {

/// The serial link to the meter: 2400 baud, 8 data bits, no parity, 1 stop bit, no handshaking.
/// The program only receives. Every operation can fail (a missing port, a port in use); a failed
/// operation returns false or nullopt and leaves the rest to the caller.
class SerialPort {
  public:
    /// Event code of the receive event: 20 or more bytes wait.
    static constexpr int kReceiveEvent = 2;
    /// Bytes that must wait before the receive event is raised, and the most one event hands on.
    static constexpr int kThreshold = 20;

    virtual ~SerialPort() = default;
    /// Chooses port 1..8; only while the port is closed.
    [[nodiscard]] virtual bool selectPort(int number) = 0;
    [[nodiscard]] virtual int port() const = 0;
    [[nodiscard]] virtual bool open() = 0;
    [[nodiscard]] virtual bool close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;
    [[nodiscard]] virtual bool setRts(bool on) = 0;
    [[nodiscard]] virtual bool setDtr(bool on) = 0;
    [[nodiscard]] virtual std::optional<bool> dsr() = 0;
    [[nodiscard]] virtual std::optional<bool> cts() = 0;
    /// Takes the bytes of the current receive event (at most kThreshold; the rest wait for the
    /// next event).
    [[nodiscard]] virtual std::vector<std::uint8_t> read() = 0;
    /// Called with an event code while the port is open; kReceiveEvent when bytes wait.
    virtual void setEventHandler(std::function<void(int)> handler) = 0;
    /// Called once when an open port fails (device gone); the port is closed by then.
    virtual void setFailureHandler(std::function<void()> handler) = 0;
    /// What stands behind port n, for the user ("/dev/ttyUSB0"); empty when nothing does.
    /// deviceName(kNamedDevice) is the device chosen by selectDevice.
    [[nodiscard]] virtual std::string deviceName(int number) const = 0;

    /// The port number of a device chosen by name: it has none of 1..8.
    static constexpr int kNamedDevice = 0;
    /// Chooses any device by its path or system name ("/dev/ttyUSB3", "COM12"), only while the
    /// port is closed; port() is then kNamedDevice. Ports that only know 1..8 refuse.
    [[nodiscard]] virtual bool selectDevice(const std::string &device) {
        (void)device;
        return false;
    }
    /// Why the last open failed, for the user ("No such file or directory"); empty if unknown.
    [[nodiscard]] virtual std::string lastError() const { return {}; }
};

} // namespace qv::platform
