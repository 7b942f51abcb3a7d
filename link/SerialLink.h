#pragma once
#include "common/Form.h"

namespace qv::link {

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

    /// The open port failed (adapter pulled out, far end gone): the port is closed and the link
    /// shows as disconnected, without a message.
    void portFailed();

  private:
    void disablePortItem(int n);
    void uncheckPortItem(int n);
    void showDisconnected();
    void showConnected(int n);
    void closeIfOpen();
    [[nodiscard]] bool probeFirstPass(int n);
    [[nodiscard]] bool probeSecondPass(int n);

    common::Form &form_;
};

} // namespace qv::link
