#pragma once
#include "common/Control.h"
#include "common/Form.h"
#include "dso/FrameHistory.h"
#include "dso/ScaleTables.h"

#include <optional>
#include <string>

namespace qv::app {

/// The reference trace of Wave > Reference: a waveform kept to compare the live frames with,
/// drawn under the live trace to its scales. It is kept between runs as a waveform file in the
/// program's data folder.
class ReferenceKeeper {
  public:
    /// Said under the format message for a file that cannot be read ("This file cannot be read").
    static constexpr const char *kUnreadable = "无法读取此文件";

    ReferenceKeeper(common::Form &form, const dso::ScaleTables &tables)
        : form_(form), tables_(tables) {}
    ReferenceKeeper(const ReferenceKeeper &) = delete;
    ReferenceKeeper &operator=(const ReferenceKeeper &) = delete;

    /// Where the reference is kept between runs; empty (the default): it is not kept.
    void setStore(std::string path) { store_ = std::move(path); }
    /// Takes up the reference kept by the last run, if any (a broken file is left alone).
    void load();

    /// Keep this trace: the waveform shown becomes the reference.
    void keep();
    /// Open reference file…: asks for a waveform file and takes it as the reference; a file that
    /// is none is reported.
    void open();
    /// Clear: no reference any more, none kept.
    void clear();

    [[nodiscard]] const std::optional<dso::HistoryFrame> &reference() const { return ref_; }
    /// Draws the reference and its label to the live waveform's scales; nothing without one.
    void drawUnder(common::DrawingTarget &target) const;

    /// Enabled when there is a waveform to keep, and when there is a reference to clear.
    common::Control keepItem, clearItem;
    void updateItems();

  private:
    [[nodiscard]] static std::optional<dso::HistoryFrame> parse(const std::string &bytes,
                                                                std::string *reason);
    void store();
    void redraw();

    common::Form &form_;
    const dso::ScaleTables &tables_;
    std::string store_;
    std::optional<dso::HistoryFrame> ref_;
};

} // namespace qv::app
