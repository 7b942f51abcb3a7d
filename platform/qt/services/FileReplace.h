#pragma once
#include <string>
#include <string_view>

namespace qv::platform::qt {

/// Why a file replace failed; empty when it worked.
struct ReplaceResult {
    bool ok = false;
    std::string reason;
};

/// Writes bytes as the file's whole new content through a temporary file beside it that then
/// replaces the old one, so that a reader sees the old or the new file and a failure leaves the
/// old one as it was. With syncToDisk the data reach the disk first (QSaveFile); without, the
/// replace waits for no disk, which is what a batch of many files wants.
[[nodiscard]] ReplaceResult replaceFile(const std::string &path, std::string_view bytes,
                                        bool syncToDisk);

} // namespace qv::platform::qt
