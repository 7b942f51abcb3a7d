#pragma once
#include <array>
#include <string>
#include <vector>

namespace qv::platform::qt {

/// Which serial device stands behind port numbers 1..8 on systems without COM numbers. Devices
/// are ordered USB adapters first (ttyUSB*, then ttyACM*; cu.usbserial*, then cu.usbmodem*),
/// then on-board ports (ttyS0, ttyS1, ...), then the rest, numbers compared as numbers. A number
/// keeps its device for the whole run, so "COM 3" stays the same adapter even when it is pulled
/// out; devices that turn up later take the free numbers.
class PortTable {
  public:
    static constexpr int kPorts = 8;

    /// The devices in port order; macOS call-in duplicates (tty.*) are left out.
    [[nodiscard]] static std::vector<std::string> order(std::vector<std::string> devices);
    /// Gives new devices the free numbers, in port order.
    void update(const std::vector<std::string> &devices);
    /// The device of port n; empty for none or a number outside 1..8.
    [[nodiscard]] std::string device(int n) const;
    /// Puts a device on port n (a pseudo-terminal in a test, a device the user named).
    void assign(int n, std::string device);

  private:
    std::array<std::string, kPorts> devices_;
};

} // namespace qv::platform::qt
