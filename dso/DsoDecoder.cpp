#include "dso/DsoDecoder.h"

#include "dmm/DigitPanel.h"
#include "dmm/ModeQuestion.h"

#include "common/NumberFormat.h"
#include "dmm/MeterIdentity.h"
#include "link/PacketAssembly.h"

namespace qv::dso {
namespace {

constexpr int kFirstDsoMode = 3; ///< work modes from 3 up are DSO packets
constexpr int kLastPacket = 17;  ///< header 1, data 2..17
constexpr int kSamples = 256;    ///< RawSamples index 256 takes every byte beyond the frame
constexpr int kMaxTimeBase = 26;
constexpr int kMaxGain = 15;

} // namespace

DsoDecoder::DsoDecoder(common::Form &form, const ScaleTables &tables)
    : form_(form), tables_(tables) {
    // Entering DSO mode: whatever frame is under way began while nobody listened.
    form_.el.DSOmode.subscribe([this] {
        if (form_.el.DSOmode.checked())
            dropFrame();
    });
}

void DsoDecoder::COM_DSO() {
    lastOutcome_ = FrameOutcome::None;
    if (!link::receivePacket(form_))
        return;
    (void)decodePacket();
}

FrameOutcome DsoDecoder::decodePacket() {
    lastOutcome_ = FrameOutcome::None;
    const std::array<std::uint8_t, 20> p = form_.v.PacketData;
    dmm::MeterModel(form_, p[17]);
    form_.el.panel[2].setText(dmm::MeterWorkMode(form_, p[18]));
    packetNumber_ = p[19];

    const int workMode = p[18];
    if (workMode < kFirstDsoMode) {
        otherMode();
        return lastOutcome_;
    }
    form_.v.ModeMismatchCount = 0;

    if (packetNumber_ == 1) {
        header(p);
    } else if (packetNumber_ >= 2 && packetNumber_ <= kLastPacket && !awaitHeader_) {
        nextInOrder_ = packetNumber_ == nextInOrder_ ? nextInOrder_ + 1 : 0;
        data(p);
        if (packetNumber_ == kLastPacket && form_.el.mnuStart.checked())
            lastOutcome_ = completeFrame(workMode);
    } else {
        nextInOrder_ = 0;
    }
    return lastOutcome_;
}

void DsoDecoder::otherMode() {
    nextInOrder_ = 0; // a DMM packet inside a frame: the frame is no longer whole
    dmm::countOtherMode(form_, "DMM", false, form_.call.DMMmode);
}

void DsoDecoder::indicate(const char *text, bool clearFirst) {
    common::DrawingTarget &panel = form_.el.Picture2;
    if (clearFirst)
        panel.clear();
    panel.setCurrentX(400);
    panel.setCurrentY(300);
    panel.setFontSize(12);
    panel.print(text);
}

void DsoDecoder::dropFrame() {
    awaitHeader_ = true;
    nextInOrder_ = 0;
    sampleIndex_ = 0;
    if (!form_.el.DMMmode.checked())
        form_.el.Picture2.clear();
}

void DsoDecoder::header(const std::array<std::uint8_t, 20> &p) {
    awaitHeader_ = false;
    nextInOrder_ = 2;
    form_.el.Picture2.clear();
    if (form_.el.StartStop.checked())
        indicate("Data start", false);
    for (int k = 0; k <= 8; ++k)
        headerBytes_[k] = p[k + 1];
    sampleIndex_ = 0;
}

void DsoDecoder::data(const std::array<std::uint8_t, 20> &p) {
    if (form_.el.StartStop.checked()) {
        const double x = packetNumber_ * 150.0;
        form_.el.Picture2.box(x + 120, 800, x + 200, 900, common::kProgress);
    }
    // A packet decoded twice adds its samples again; the surplus all lands on index 256.
    for (int k = 0; k < 16; ++k) {
        rawSamples_[sampleIndex_] = p[k + 1];
        if (sampleIndex_ < kSamples)
            ++sampleIndex_;
    }
}

FrameOutcome DsoDecoder::completeFrame(int workMode) {
    ++framesCompleted_;
    lastFrameWhole_ = nextInOrder_ == kLastPacket + 1;
    nextInOrder_ = 0;
    common::Waveform &w = form_.wave;
    if (form_.el.StartStop.checked()) {
        dmm::DigitPanel(form_).blankMessageLine();
        indicate("Data end", false);
    }
    for (int k = 0; k <= 8; ++k)
        w.DsoParam[k] = headerBytes_[k];
    w.DsoParam[1] -= 128;
    w.DsoParam[3] -= 128;
    w.DsoParam[6] -= 128;

    if (w.DsoParam[0] > kMaxTimeBase || w.DsoParam[2] > kMaxGain) {
        indicate("Data error!", true);
        return FrameOutcome::DataError;
    }
    if (!buildWave())
        return FrameOutcome::Abandoned;
    w.WaveData[255] = w.WaveData[254];
    w.DsoParam[7] -= 128;

    w.WaveDate = form_.os.clock.shortDate();
    w.WaveTime = form_.os.clock.shortTime();
    w.WaveTitle = "Meter " + form_.v.MeterModelName + form_.v.WorkModeName;
    if (workMode > kFirstDsoMode)
        w.WaveTitle += common::signedText(static_cast<long long>(headerBytes_[8]));
    form_.el.Text1.setText(w.WaveTitle);

    for (common::Control *c : {&form_.el.Save, &form_.el.Print, &form_.el.Copy, &form_.el.XCursor,
                               &form_.el.YCursor, &form_.el.DSO_FFT, &form_.el.menuSave,
                               &form_.el.mnuSaveAs, &form_.el.mnuPrint, &form_.el.mnuCopy})
        c->setEnabled(true);
    form_.v.CurrentFileName.clear();
    w.WaveValid = true;
    sampleIndex_ = 0;

    if (form_.el.DSO_wave.checked())
        common::Procedures::run(form_.call.DSO_display);
    else
        common::Procedures::run(form_.call.FFT_Display);
    return FrameOutcome::Shown;
}

bool DsoDecoder::buildWave() {
    common::Waveform &w = form_.wave;
    const int model = form_.v.MeterModelCode;
    const int t = static_cast<int>(w.DsoParam[0]); // a byte: 0..26 after the check
    const int top = tables_.TimeBaseTop(model);
    if (t < top - 2) {
        for (int i = 0; i <= 254; ++i)
            w.WaveData[i] = rawSamples_[i] - w.DsoParam[7];
        return true;
    }
    if (t == top - 2) {
        reconstruction_.sinc0(rawSamples_, w);
        return true;
    }
    Rebuild result = Rebuild::Kept;
    if (t == top - 1) {
        result = reconstruction_.sinc1(rawSamples_, w);
    } else if (t == top) {
        switch (model) {
        case 0:
        case 1:
        case 4:
            result = reconstruction_.sinc4(rawSamples_, w);
            break;
        case 2:
        case 3:
        case 5:
        case 6:
        case 7:
        case 8:
            result = reconstruction_.sinc3(rawSamples_, w);
            break;
        default:
            break; // no scales: the previous waveform stays
        }
    }
    return result != Rebuild::Abandoned;
}

} // namespace qv::dso
