#pragma once
#include "platform/FileOutput.h"

namespace qv::platform::qt {

using ReplaceResult = FileOutput::Result;

/// Writes bytes as the file's whole new content by the rules of FileOutput. With syncToDisk the
/// data reach the disk first; without, the replace waits for no disk, which is what a batch of
/// many files wants.
[[nodiscard]] inline ReplaceResult replaceFile(const std::string &path, std::string_view bytes,
                                               bool syncToDisk) {
    return FileOutput::replace(path, bytes, syncToDisk);
}

} // namespace qv::platform::qt
