#pragma once
#include <QStringList>

namespace qv::app::cli {

/// `qvlink export ...`: waveform files to CSV and pictures, or a DMM record file to CSV.
[[nodiscard]] int runExport(const QStringList &arguments);

} // namespace qv::app::cli
