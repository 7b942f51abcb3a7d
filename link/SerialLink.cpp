#include "link/SerialLink.h"

#include "link/DeviceMatch.h"
#include "link/LinkTexts.h"

#include <optional>

namespace qv::link {

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 8;
constexpr int kSearchSettleMs = 300;
constexpr int kComSettleMs = 100;

[[nodiscard]] bool validPort(int n) {
    return n >= kFirstPort && n <= kLastPort;
}

/// Both lines read, and both asserted: the meter's cable is on this port. A failed read is
/// reported as nullopt.
[[nodiscard]] std::optional<bool> cableDetected(platform::SerialPort &port) {
    const std::optional<bool> dsr = port.dsr();
    if (!dsr)
        return std::nullopt;
    const std::optional<bool> cts = port.cts();
    if (!cts)
        return std::nullopt;
    return *dsr && *cts;
}

} // namespace

SerialLink::SerialLink(common::Form &form) : form_(form) {
    form_.os.port.setFailureHandler([this] { portFailed(); });
}

SerialLink::~SerialLink() {
    form_.os.port.setFailureHandler(nullptr);
}

void SerialLink::disablePortItem(int n) {
    if (validPort(n))
        form_.el.mnuCOM[static_cast<size_t>(n - 1)].setEnabled(false);
}

void SerialLink::uncheckPortItem(int n) {
    if (validPort(n))
        form_.el.mnuCOM[static_cast<size_t>(n - 1)].setChecked(false);
}

void SerialLink::closeIfOpen() {
    platform::SerialPort &port = form_.os.port;
    if (port.isOpen())
        (void)port.close();
}

void SerialLink::showConnected(int n) {
    common::Elements &el = form_.el;
    const std::string device = form_.os.port.deviceName(n);
    current_ = LinkTarget{n, identify(systemDevices(), device)};
    el.linkNote.setText(device);
    el.panel[0].setText(connectedText(n));
    el.Link.setChecked(true);
    el.mnuLink.setChecked(true);
    el.mnuLink.setEnabled(false);
    el.mnuBreak.setChecked(false);
    el.mnuBreak.setEnabled(true);
    if (validPort(n))
        el.mnuCOM[static_cast<size_t>(n - 1)].setChecked(true);
}

void SerialLink::showDisconnected() {
    common::Elements &el = form_.el;
    el.panel[0].setText(kDisconnectedText);
    el.Link.setChecked(false);
    el.mnuBreak.setChecked(true);
    el.mnuBreak.setEnabled(false);
    el.mnuLink.setChecked(false);
    el.mnuLink.setEnabled(true);
}

bool SerialLink::probeFirstPass(int n) {
    platform::SerialPort &port = form_.os.port;
    return port.selectPort(n) && port.open() && port.close();
}

bool SerialLink::probeSecondPass(int n) {
    platform::SerialPort &port = form_.os.port;
    if (!port.selectPort(n) || !port.open() || !port.setRts(true) || !port.setDtr(true)) {
        disablePortItem(n);
        closeIfOpen();
        return false;
    }
    form_.os.clock.sleepMs(kSearchSettleMs);
    const std::optional<bool> found = cableDetected(port);
    if (!found)
        disablePortItem(n);
    if (found.value_or(false))
        return true;
    // Not this port (or its lines could not be read): release it; a failing close also marks it.
    if (port.isOpen() && !port.close())
        disablePortItem(n);
    return false;
}

void SerialLink::SearchForCom(bool search) {
    common::Elements &el = form_.el;
    common::SharedValues &v = form_.v;
    watch_.stop();
    el.linkNote.setText("");
    if (!search) {
        // A port that cannot be closed is marked in the Comm menu, as in the search.
        if (platform::SerialPort &port = form_.os.port; port.isOpen() && !port.close())
            disablePortItem(v.ComPort);
        showDisconnected();
        uncheckPortItem(v.ComPort);
        return;
    }

    el.panel[0].setText(kSearchingText);
    // A port left open would make every selection below fail and disable all eight items.
    closeIfOpen();
    for (v.ComPort = kFirstPort; v.ComPort <= kLastPort; ++v.ComPort) {
        if (!probeFirstPass(v.ComPort)) {
            disablePortItem(v.ComPort);
            closeIfOpen();
        }
    }
    for (v.ComPort = kFirstPort; v.ComPort <= kLastPort; ++v.ComPort) {
        if (probeSecondPass(v.ComPort)) {
            showConnected(v.ComPort);
            return;
        }
    }
    // Nothing found: ComPort has run out at 9; mnuLink keeps its state.
    el.Link.setChecked(false);
    el.mnuBreak.setChecked(true);
    el.mnuBreak.setEnabled(false);
    el.panel[0].setText(kNotFoundText);
}

void SerialLink::COM(int n) {
    common::Elements &el = form_.el;
    platform::SerialPort &port = form_.os.port;
    watch_.stop();
    el.linkNote.setText("");
    for (common::Control &item : el.mnuCOM)
        item.setChecked(false);

    // Any failing step marks port n and ends here; the port is not left open behind a link
    // that shows as down.
    const auto fail = [&] {
        disablePortItem(n);
        closeIfOpen();
    };
    if (port.isOpen() && !port.close())
        return fail();
    if (!port.selectPort(n) || !port.open() || !port.setRts(true) || !port.setDtr(true))
        return fail();
    form_.os.clock.sleepMs(kComSettleMs);
    const std::optional<bool> found = cableDetected(port);
    if (!found)
        return fail();
    if (*found) {
        showConnected(n);
        return;
    }
    if (!port.close())
        return fail();
    el.panel[0].setText(notConnectedText(n));
    el.Link.setChecked(false);
    el.mnuBreak.setChecked(true);
    el.mnuBreak.setEnabled(false);
    el.mnuLink.setChecked(false);
    el.mnuLink.setEnabled(true);
}

void SerialLink::ComOnOff() {
    SearchForCom(form_.el.Link.checked());
}

void SerialLink::portFailed() {
    showDisconnected(); // the port closed itself before it called
    uncheckPortItem(form_.os.port.port());
    common::Procedures::run(form_.call.DropCutFrame);
    const std::string &device = current_.device.path;
    const char *after = !services_.retry        ? ""
                        : canComeBack(current_) ? "; the link comes back when the device does"
                                                : "; a pseudo-terminal's name is not opened "
                                                  "again: the next terminal of any program "
                                                  "may take it";
    form_.el.linkNote.setText(device + " went away; what was under way was dropped" + after);
    watch_.start(current_);
}

} // namespace qv::link
