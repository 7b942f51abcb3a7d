#pragma once
#include "common/Form.h"
#include "link/ReconnectWatch.h"
#include "platform/SerialDevices.h"
#include "platform/Timer.h"

#include <string>

namespace qv::link {

/// The services of devices named by path; any may be null (that feature is then off).
struct DeviceServices {
    platform::SerialDevices *devices = nullptr; ///< the system's list (USB identity)
    platform::DeviceMemory *memory = nullptr;   ///< the device chosen last time
    platform::DeviceChooser *chooser = nullptr; ///< the "Other port…" dialog
    platform::Timer *retry = nullptr;           ///< drives the reconnect watch
};

/// Finds the meter's port by its DSR and CTS lines, opens it, and shows the link state in status
/// panel 1, the `Link` button and the Comm menu (`mnuLink`, `mnuBreak`, `mnuCOM1`..`mnuCOM8`).
/// A port item whose port failed an operation stays disabled for the rest of the run.
///
/// Installs itself as the port's failure handler; keep it alive as long as the Form.
class SerialLink {
  public:
    explicit SerialLink(common::Form &form);
    ~SerialLink();
    SerialLink(const SerialLink &) = delete;
    SerialLink &operator=(const SerialLink &) = delete;

    /// true: searches ports 1..8 and connects to the first with the cable; false: disconnects.
    void SearchForCom(bool search);
    /// Connects to port n (1..8) alone.
    void COM(int n);
    /// The `Link` toolbar toggle, after the click changed the button.
    void ComOnOff();

    void mnuLink_Click() { SearchForCom(true); }
    void mnuBreak_Click() { SearchForCom(false); }
    /// `mnuCOM1_Click` .. `mnuCOM8_Click`.
    void mnuCOM_Click(int n) { COM(n); }

    /// The open port failed (adapter pulled out, far end gone): the port is closed, the link
    /// shows as disconnected without a message, the packet and frame under way are dropped, and
    /// the device is watched for until it comes back (the link then comes up by itself).
    void portFailed();

    /// Beyond ports 1..8: any device by path or system name.
    void useDevices(DeviceServices services);
    /// Start-up opens this device instead of searching (the command line's --port).
    void setStartDevice(std::string device) { startDevice_ = std::move(device); }
    /// The link's start at Form_Load: the start device, or the search of ports 1..8 and, when
    /// that finds nothing, the remembered device if it is there.
    void startUp();
    /// Connects to a device by name, as COM does for ports 1..8 but without the electrical
    /// check (a pseudo-terminal or a bare adapter has no modem lines). A device that does not
    /// open gives the not-connected state, the reason in linkNote. remember: keep it for the
    /// next start once connected.
    void connectDevice(const std::string &device, bool remember = false);
    /// The "Other port…" item: the device dialog, then connectDevice.
    void mnuOtherPort_Click();
    [[nodiscard]] const ReconnectWatch &watch() const { return watch_; }

  private:
    void disablePortItem(int n);
    void uncheckPortItem(int n);
    void showDisconnected();
    void showConnected(int n);
    void showConnectedTo(const std::string &device);
    /// "COM 3" for the device of port 3, the device's own name otherwise; n gets the number.
    [[nodiscard]] std::string placeOf(const std::string &device, int &n) const;
    /// Opens a named device and raises RTS and DTR (failures of the lines do not count).
    [[nodiscard]] bool openDevice(const std::string &device);
    /// One quiet attempt to reconnect: the same port or path, or a USB adapter at a new path.
    [[nodiscard]] bool reconnect(const LinkTarget &target);
    [[nodiscard]] bool reopenPort(int n);
    [[nodiscard]] std::vector<platform::SerialDeviceInfo> systemDevices() const;
    /// A device's identity, from the system's list where it may be in it.
    [[nodiscard]] platform::DeviceIdentity identityOf(const std::string &device) const;
    void closeIfOpen();
    [[nodiscard]] bool probeFirstPass(int n);
    [[nodiscard]] bool probeSecondPass(int n);

    common::Form &form_;
    DeviceServices services_;
    std::string startDevice_;
    LinkTarget current_; ///< what the link is on while it is up
    ReconnectWatch watch_{[this](const LinkTarget &t) { return reconnect(t); }};
};

} // namespace qv::link
