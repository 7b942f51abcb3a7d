#pragma once
#include "platform/ReceiveQueue.h"
#include "platform/SerialPort.h"
#include "platform/qt/serial/PortTable.h"
#include "platform/qt/serial/QtSerialDevices.h"

#include <QSerialPort>

namespace qv::platform::qt {

/// The system's serial ports through QSerialPort: 2400 baud, 8N1, no flow control, opened for
/// reading only (nothing is ever written). Ports 1..8 are COM1..COM8 on Windows and the devices
/// of a PortTable elsewhere. Received bytes are handed out through a ReceiveQueue, at most 20
/// per receive event. At the first read or resource error (the device went away) the port is
/// closed and the failure handler runs once. Any other device can be chosen by name; a
/// pseudo-terminal works too, though it has no modem lines.
class QtSerialPort final : public SerialPort {
  public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort &) = delete;
    QtSerialPort &operator=(const QtSerialPort &) = delete;

    bool selectPort(int number) override;
    int port() const override { return port_; }
    bool open() override;
    bool close() override;
    bool isOpen() const override { return serial_.isOpen(); }
    bool setRts(bool on) override;
    bool setDtr(bool on) override;
    std::optional<bool> dsr() override;
    std::optional<bool> cts() override;
    std::vector<std::uint8_t> read() override { return queue_.take(); }
    void setEventHandler(std::function<void(int)> handler) override;
    void setFailureHandler(std::function<void()> handler) override;
    std::string deviceName(int number) const override;
    bool selectDevice(const std::string &device) override;
    std::string lastError() const override { return lastError_; }

    /// Puts a device on port n instead of the system's choice (a pseudo-terminal in a test).
    void useDevice(int number, const std::string &device);
    /// The system's devices, from which ports 1..8 are numbered (read once per turn of the event
    /// loop); only a port number needs them, a device chosen by name does not.
    [[nodiscard]] QtSerialDevices &systemDevices() { return system_; }

  private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    [[nodiscard]] std::optional<QSerialPort::PinoutSignals> pinout();
    [[nodiscard]] std::string deviceFor(int number) const;

    QtSerialDevices system_;
    QSerialPort serial_;
    ReceiveQueue queue_{SerialPort::kThreshold};
    mutable PortTable table_;
    int port_ = 1;
    std::string named_;     ///< the device of port kNamedDevice
    std::string lastError_; ///< why the last open failed
    std::function<void(int)> handler_;
    std::function<void()> failure_;
};

} // namespace qv::platform::qt
