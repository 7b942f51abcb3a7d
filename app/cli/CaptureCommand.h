#pragma once
#include <QStringList>

namespace qv::app::cli {

/// `qvlink capture`: logs the meter's readings and frames unattended; the exit code.
[[nodiscard]] int runCapture(const QStringList &arguments);

} // namespace qv::app::cli
