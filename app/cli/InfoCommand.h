#pragma once
#include <QStringList>

namespace qv::app::cli {

/// `qvlink info INPUT.dso [--json]`: the waveform's settings, the screen's readouts and the five
/// measurements, as text or JSON, on stdout.
[[nodiscard]] int runInfo(const QStringList &arguments);

} // namespace qv::app::cli
