// The link's devices beyond ports 1..8: devices named by path, the remembered device, and the
// reconnect after a device went away.
#include "link/DeviceMatch.h"
#include "link/LinkTexts.h"
#include "link/SerialLink.h"

#include "common/NumberFormat.h"

namespace qv::link {

namespace {
constexpr int kSettleMs = 100; // as COM waits for the cable's lines
constexpr int kPorts = 8;
} // namespace

void SerialLink::useDevices(DeviceServices services) {
    watch_.stop();
    services_ = services;
    watch_.setTimer(services_.retry);
}

std::vector<platform::SerialDeviceInfo> SerialLink::systemDevices() const {
    return services_.devices ? services_.devices->list()
                             : std::vector<platform::SerialDeviceInfo>{};
}

platform::DeviceIdentity SerialLink::identityOf(const std::string &device) const {
    // A pseudo-terminal is never in the system's list: it is not read for one.
    if (leadsToPseudoTerminal(device))
        return {.path = device};
    return identify(systemDevices(), device);
}

std::string SerialLink::placeOf(const std::string &device, int &n) const {
    // Ports 1..8 are devices of the system's list, which holds no pseudo-terminal.
    const bool listed = !device.empty() && !leadsToPseudoTerminal(device);
    for (n = 1; n <= kPorts && listed; ++n)
        if (form_.os.port.deviceName(n) == device)
            return "COM" + common::signedText(n);
    n = 0;
    return device;
}

void SerialLink::showConnectedTo(const std::string &device) {
    int n = 0;
    const std::string place = placeOf(device, n);
    if (n > 0) {
        showConnected(n);
    } else {
        common::Elements &el = form_.el;
        el.panel[0].setText(connectedText(place));
        el.Link.setChecked(true);
        el.mnuLink.setChecked(true);
        el.mnuLink.setEnabled(false);
        el.mnuBreak.setChecked(false);
        el.mnuBreak.setEnabled(true);
    }
    current_ = LinkTarget{0, identityOf(device)};
    form_.el.linkNote.setText(device);
}

bool SerialLink::openDevice(const std::string &device) {
    platform::SerialPort &port = form_.os.port;
    if (device.empty() || !port.selectDevice(device) || !port.open())
        return false;
    // The cable draws its power from RTS and DTR; a pseudo-terminal has neither line.
    (void)port.setRts(true);
    (void)port.setDtr(true);
    return true;
}

void SerialLink::connectDevice(const std::string &device, bool remember) {
    common::Elements &el = form_.el;
    watch_.stop();
    for (common::Control &item : el.mnuCOM)
        item.setChecked(false);
    closeIfOpen();
    if (!openDevice(device)) {
        const std::string why = form_.os.port.lastError();
        int n = 0;
        el.panel[0].setText(notConnectedText(placeOf(device, n)));
        el.Link.setChecked(false);
        el.mnuBreak.setChecked(true);
        el.mnuBreak.setEnabled(false);
        el.mnuLink.setChecked(false);
        el.mnuLink.setEnabled(true);
        el.linkNote.setText((device.empty() ? std::string("no device named") : device) +
                            ": cannot open" + (why.empty() ? "" : " (" + why + ")"));
        return;
    }
    showConnectedTo(device);
    if (remember && services_.memory)
        services_.memory->remember(current_.device);
}

void SerialLink::mnuOtherPort_Click() {
    if (!services_.chooser || !services_.devices)
        return;
    const std::optional<std::string> choice = services_.chooser->chooseDevice(*services_.devices);
    if (choice)
        connectDevice(*choice, true);
}

void SerialLink::startUp() {
    if (!startDevice_.empty()) {
        connectDevice(startDevice_, true);
        // Not there yet: taken when it appears, as after an unplug. A pseudo-terminal's name is
        // not waited for: the next terminal any program opens may get it.
        if (!form_.el.Link.checked() && !isPseudoTerminalName(startDevice_))
            watch_.start(LinkTarget{0, identityOf(startDevice_), true});
        return;
    }
    SearchForCom(true);
    if (form_.el.Link.checked() || !services_.memory)
        return;
    // A remembered device that is gone changes nothing.
    const std::optional<platform::DeviceIdentity> remembered = services_.memory->recall();
    if (remembered && reconnect(LinkTarget{0, *remembered}))
        form_.el.linkNote.setText(current_.device.path + " (the device chosen last time)");
}

bool SerialLink::reopenPort(int n) {
    platform::SerialPort &port = form_.os.port;
    if (!port.selectPort(n) || !port.open() || !port.setRts(true) || !port.setDtr(true)) {
        closeIfOpen();
        return false;
    }
    form_.os.clock.sleepMs(kSettleMs);
    const std::optional<bool> dsr = port.dsr(), cts = port.cts();
    if (dsr.value_or(false) && cts.value_or(false)) {
        showConnected(n);
        return true;
    }
    closeIfOpen();
    return false;
}

bool SerialLink::reconnect(const LinkTarget &target) {
    // Attempts are quiet: a device that is still away disables no port item and shows nothing.
    const platform::DeviceIdentity &id = target.device;
    // Only a USB adapter needs the system's list; asking for it costs a little CPU.
    const std::vector<platform::SerialDeviceInfo> now =
        knownAdapter(id) ? systemDevices() : std::vector<platform::SerialDeviceInfo>{};
    const bool numbered = target.port >= 1 && target.port <= kPorts;
    // The same port or path, where it still names the same device.
    bool back =
        sameDeviceAtPath(id, now) && (numbered ? reopenPort(target.port) : openDevice(id.path));
    if (back && !numbered)
        showConnectedTo(id.path);
    if (!back && knownAdapter(id)) {
        // The adapter at another path: by its serial number, or as the only one with its ids.
        const std::optional<std::string> moved = returnedAt(id, now);
        back = moved && *moved != id.path && openDevice(*moved);
        if (back)
            showConnectedTo(*moved);
    }
    if (!back)
        return false;
    if (target.atStart && services_.memory)
        services_.memory->remember(current_.device);
    form_.el.linkNote.setText(current_.device.path + (target.atStart
                                                          ? " appeared: the link is up"
                                                          : " is back: the link is up again"));
    return true;
}

} // namespace qv::link
