#pragma once
#include "common/DrawingTarget.h"
#include "common/Form.h"

#include <string>
#include <string_view>
#include <vector>

namespace qv::output {

/// The lines of a log text. CR LF, a lone LF and a lone CR each end a line; a line end at the
/// very end of the text ends the last line rather than starting an empty one, so an empty log
/// has no lines.
[[nodiscard]] std::vector<std::string> logLines(std::string_view text);

/// The DMM record page: the header ("QVDATALINK47 V1.0", model and title, today's date and
/// time, an empty line), the log line by line, an empty line and "End of record", in black from
/// (0, 50); every line after the first starts at the page's left edge.
void printDmmRecord(const common::Form &form, common::DrawingTarget &page);

} // namespace qv::output
