#pragma once
#include "link/MeterSimulator.h"
#include "platform/ReceiveQueue.h"
#include "platform/SerialPort.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <random>

namespace qv::link::qt {

using platform::ReceiveQueue;
using platform::SerialPort;

/// A meter on a serial port without hardware: it stands on one port number, and like the real
/// cable it answers with DSR and CTS once RTS and DTR are raised, and only then streams packets
/// (the cable draws its power from those lines). The stream comes at the link's pace (2400
/// baud: 240 bytes/s, one packet per 83.3 ms, driven by a timer) or, in manual pace, whenever a
/// test pumps bytes. Other port numbers go to `others` when given, else they do not exist.
class VirtualMeterPort final : public SerialPort {
  public:
    enum class Pace { RealTime, Manual };
    static constexpr int kBytesPerSecond = 240;

    VirtualMeterPort(int number, link::SimOptions options, Pace pace,
                     std::unique_ptr<SerialPort> others = nullptr);
    ~VirtualMeterPort() override;
    VirtualMeterPort(const VirtualMeterPort &) = delete;
    VirtualMeterPort &operator=(const VirtualMeterPort &) = delete;

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

    /// Sends the next n bytes of the stream now, in one delivery; nothing while the meter is
    /// not powered.
    void pump(std::size_t bytes);
    /// Whether bytes flow: the meter's port is open with RTS and DTR raised.
    [[nodiscard]] bool streaming() const { return open_ && rts_ && dtr_; }
    /// The cable is pulled out: an open meter port fails.
    void unplug();
    [[nodiscard]] const link::MeterSimulator &meter() const { return meter_; }

  private:
    [[nodiscard]] bool onMeter() const { return port_ == number_; }
    void powerChanged();
    void tick();

    int number_;
    Pace pace_;
    std::unique_ptr<SerialPort> others_;
    link::MeterSimulator meter_;
    std::mt19937 rng_;
    ReceiveQueue queue_{SerialPort::kThreshold};
    QTimer timer_;
    QElapsedTimer clock_;
    long long sent_ = 0; ///< bytes sent since the meter was powered
    int port_ = 1;
    bool open_ = false, rts_ = false, dtr_ = false;
    std::function<void(int)> handler_;
    std::function<void()> failure_;
};

} // namespace qv::link::qt
