#pragma once
#include <span>
#include <string>

namespace qv::app::cli {

/// A file a command reads or writes, and what the messages say about where it came from
/// ("--csv", "from a/x.dso").
struct NamedFile {
    std::string path; ///< as given; "-" is standard output
    std::string label;
};

/// Why the outputs cannot be written as asked, checked before anything is written: an output that
/// is one of the inputs, two outputs that are one file (the same device and inode, or the same
/// name in the same folder, through symbolic links, "." and ".." alike), or two outputs on
/// standard output. Empty when there is nothing against them.
[[nodiscard]] std::string outputConflict(std::span<const NamedFile> inputs,
                                         std::span<const NamedFile> outputs);

} // namespace qv::app::cli
