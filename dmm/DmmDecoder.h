#pragma once
#include "common/Form.h"
#include "dmm/DigitPanel.h"

namespace qv::dmm {

/// Decodes the packets of DMM mode: the meter's model and work mode into the status bar, the
/// question when the meter has switched to its oscilloscope, live readings onto the digit panel
/// (and, while recording is armed, for the record timer), and the stored readings and messages
/// of a memory play-back into the log.
class DmmDecoder {
  public:
    /// Also watches the Link button: when the link goes down the digit panel shows its last
    /// reading as no longer live (DigitPanel::showLinkLost).
    explicit DmmDecoder(common::Form &form);

    /// The receive event in DMM mode: assembles one packet from the port and decodes it.
    void COM_DMM();

    /// Decodes the packet in PacketData (the second half of COM_DMM).
    void decodePacket();

    /// The digit panel the decoder draws on; Display_DMMReading goes through it too.
    [[nodiscard]] DigitPanel &panel() { return panel_; }

  private:
    /// Counts a packet of the other operating mode; asks once, on the 11th in a row.
    void countMismatch();
    void liveReading();
    void storedReading(int number);
    void playbackMessage();
    void appendLine();

    common::Form &form_;
    DigitPanel panel_;
};

} // namespace qv::dmm
