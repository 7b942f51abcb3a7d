#pragma once
#include "common/Form.h"
#include "dso/Reconstruction.h"
#include "dso/ScaleTables.h"

#include <array>
#include <cstdint>

namespace qv::dso {

/// How the last packet ended.
enum class FrameOutcome {
    None,      ///< not the frame's last packet, or acquisition stopped, or not a DSO packet
    Shown,     ///< the frame was completed and the active view redrawn
    DataError, ///< time-base or gain index out of range: "Data error!"
    Abandoned, ///< the reconstruction stepped outside its arrays: nothing new is shown
};

/// The receive handler in DSO mode: assembles packets, follows the meter's model and work mode,
/// collects a frame's header and 256 samples and, on its last packet, builds the parameter record
/// and the waveform and redraws the active view. Frames in progress live here; the frame on
/// screen lives in form.wave.
///
/// Data packets count only after a header received in DSO mode: at start, after a switch into
/// DSO mode and after a cut stream, the frame under way (whose header was never seen) is
/// ignored until the next header.
class DsoDecoder {
  public:
    DsoDecoder(common::Form &form, const ScaleTables &tables);
    DsoDecoder(const DsoDecoder &) = delete;
    DsoDecoder &operator=(const DsoDecoder &) = delete;

    /// One receive event: reads the port, assembles a packet and decodes it.
    void COM_DSO();
    /// Decodes the packet in form.v.PacketData (the part of COM_DSO after the assembly).
    FrameOutcome decodePacket();

    [[nodiscard]] std::int16_t PacketNumber() const { return packetNumber_; }
    [[nodiscard]] std::int16_t SampleIndex() const { return sampleIndex_; }
    [[nodiscard]] const std::array<double, 17> &HeaderBytes() const { return headerBytes_; }
    [[nodiscard]] const Reconstruction::Samples &RawSamples() const { return rawSamples_; }
    [[nodiscard]] Reconstruction &reconstruction() { return reconstruction_; }
    /// The stream was cut: the frame under way is dropped (data packets count again after the
    /// next header) and its transfer marks leave the digit panel.
    void dropFrame();
    /// How the last receive event ended (None when it brought no whole packet).
    [[nodiscard]] FrameOutcome lastOutcome() const { return lastOutcome_; }
    /// Frames completed so far (shown, data error or abandoned); counted before the redraw.
    [[nodiscard]] long long framesCompleted() const { return framesCompleted_; }
    /// Whether the frame completed last arrived whole: its header, then data packets 2 to 17 in
    /// order with nothing between them. A frame with lost or repeated packets is completed all
    /// the same (with the samples that did arrive), but is not whole.
    [[nodiscard]] bool lastFrameWhole() const { return lastFrameWhole_; }

  private:
    /// Counts DMM packets; the eleventh in a row asks whether to switch to DMM mode.
    void otherMode();
    void header(const std::array<std::uint8_t, 20> &p);
    void data(const std::array<std::uint8_t, 20> &p);
    [[nodiscard]] FrameOutcome completeFrame(int workMode);
    /// Builds WaveData by the time base; false when the reconstruction had to be abandoned.
    [[nodiscard]] bool buildWave();
    void indicate(const char *text, bool clearFirst);

    common::Form &form_;
    const ScaleTables &tables_;
    Reconstruction reconstruction_;
    std::int16_t packetNumber_ = 0;
    std::int16_t sampleIndex_ = 0;
    std::array<double, 17> headerBytes_{};
    Reconstruction::Samples rawSamples_{};
    FrameOutcome lastOutcome_ = FrameOutcome::None;
    bool awaitHeader_ = true; ///< no header seen since start, a mode switch or a cut
    int nextInOrder_ = 0;     ///< the packet number that keeps the frame whole; 0: it is not
    long long framesCompleted_ = 0;
    bool lastFrameWhole_ = false;
};

} // namespace qv::dso
