#pragma once
#include "common/Form.h"

namespace qv::files {

/// Saving the DMM log as a DMM record file. The window wires form.call.SaveDMMRecord to it.
class DmmRecordFile {
  public:
    static constexpr const char *kFilter = "DMM文档文件(*.txt)|*.txt|所有文件(*.*)|*.*";

    explicit DmmRecordFile(common::Form &form) : form_(form) {}

    /// Asks for a file name (and whether to replace an existing file) and writes the record:
    /// date and time of saving, MeterModelName, the title box and the log. True only when the
    /// file was written completely; cancelling, declining and failures are silent and keep any
    /// existing file whole. Caption, CurrentFileName and the Save command are left alone.
    [[nodiscard]] bool SaveDMMRecord();

  private:
    common::Form &form_;
};

} // namespace qv::files
