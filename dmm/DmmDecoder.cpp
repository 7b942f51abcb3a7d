#include "dmm/DmmDecoder.h"

#include "dmm/MeterIdentity.h"
#include "dmm/ModeQuestion.h"
#include "dmm/ReadingText.h"
#include "link/PacketAssembly.h"

namespace qv::dmm {

DmmDecoder::DmmDecoder(common::Form &form) : form_(form), panel_(form) {
    form_.el.Link.subscribe([this] {
        if (!form_.el.Link.checked())
            panel_.showLinkLost();
    });
}

void DmmDecoder::COM_DMM() {
    if (!link::receivePacket(form_))
        return;
    decodePacket();
}

void DmmDecoder::decodePacket() {
    const auto &p = form_.v.PacketData;
    MeterModel(form_, p[17]);
    const int mode = p[18];
    form_.el.panel[2].setText(MeterWorkMode(form_, mode));
    const int number = p[19];

    if (mode > 2) {
        countMismatch();
        return;
    }
    form_.v.ModeMismatchCount = 0;

    std::string &reading = form_.v.DMMReading;
    reading.clear();
    for (std::size_t k = 1; k <= 16; ++k) {
        const std::uint8_t c = p[k];
        if (c < 0x20 || c > 0x7E) {
            // A garbled packet is dropped. The part read so far is no reading the record
            // timer may log, so a live reading still waiting for it is withdrawn.
            form_.v.DMMSampleReady = false;
            return;
        }
        reading += static_cast<char>(c);
    }

    switch (mode) {
    case 0:
        liveReading();
        return;
    case 1:
        storedReading(number);
        return;
    default:
        playbackMessage();
        return;
    }
}

void DmmDecoder::countMismatch() {
    countOtherMode(form_, "DSO", true, form_.call.DSOmode);
}

void DmmDecoder::liveReading() {
    common::Procedures::run(form_.call.Display_DMMReading);
    if (form_.call.LiveReading && form_.el.mnuStart.checked())
        form_.call.LiveReading(form_.os.clock.now(), form_.v.DMMReading);
    if (!form_.el.mnuDMMRecordStart.checked())
        return;
    form_.v.DMMSampleReady = true;
    form_.el.Timer1.setEnabled(true);
    form_.v.CurrentFileName.clear();
    form_.el.Save.setEnabled(true);
    form_.el.menuSave.setEnabled(true);
    form_.el.Print.setEnabled(true);
    form_.el.mnuPrint.setEnabled(true);
    form_.el.mnuSaveAs.setEnabled(true);
}

void DmmDecoder::storedReading(int number) {
    // Recording pauses while the meter plays back its memory.
    form_.v.DMMSampleReady = false;
    form_.el.Timer1.setEnabled(false);
    form_.v.DMMReading = recordPrefix(number) + form_.v.DMMReading;
    panel_.showProgressMark(number);
    appendLine();
}

void DmmDecoder::playbackMessage() {
    // The message replaces the reading text: a live reading still waiting for the record timer
    // is withdrawn, so the message is never logged as a reading.
    form_.v.DMMSampleReady = false;
    std::string &reading = form_.v.DMMReading;
    if (!reading.starts_with("   ")) {
        panel_.showMessage(reading);
        reading += "     ";
    }
    appendLine();
}

void DmmDecoder::appendLine() {
    form_.el.RichTextBox1.append(form_.v.DMMReading + "\r\n");
    form_.el.RichTextBox1.moveCaretToEnd();
}

} // namespace qv::dmm
