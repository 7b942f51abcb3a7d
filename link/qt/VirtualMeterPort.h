#pragma once
#include "link/MeterSimulator.h"
#include "link/StandInPort.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <random>

namespace qv::link::qt {

using platform::SerialPort;

/// A meter on a serial port without hardware: it stands on one port number, and like the real
/// cable it answers with DSR and CTS once RTS and DTR are raised, and only then streams packets
/// (the cable draws its power from those lines). The stream comes at the link's pace (2400
/// baud: 240 bytes/s, one packet per 83.3 ms, driven by a timer) or, in manual pace, whenever a
/// test pumps bytes. Other port numbers go to `others` when given, else they do not exist.
class VirtualMeterPort final : public StandInPort {
  public:
    enum class Pace { RealTime, Manual };
    static constexpr int kBytesPerSecond = 240;

    VirtualMeterPort(int number, link::SimOptions options, Pace pace,
                     std::unique_ptr<SerialPort> others = nullptr);
    ~VirtualMeterPort() override;

    /// Sends the next n bytes of the stream now, in one delivery; nothing while the meter is
    /// not powered.
    void pump(std::size_t bytes);
    [[nodiscard]] const link::MeterSimulator &meter() const { return meter_; }

  private:
    void linesChanged() override;
    [[nodiscard]] std::string ownDeviceName() const override;
    void tick();

    Pace pace_;
    link::MeterSimulator meter_;
    std::mt19937 rng_;
    QTimer timer_;
    QElapsedTimer clock_;
    long long sent_ = 0; ///< bytes sent since the meter was powered
};

} // namespace qv::link::qt
