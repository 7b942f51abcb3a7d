#pragma once
#include <string>
#include <sys/types.h>

namespace qv::platform {

/// What a path names as the place a new content goes, every symbolic link followed.
struct OutputTarget {
    enum class Kind {
        Missing,    ///< nothing there yet (a dangling link names its target): created
        Regular,    ///< a regular file: replaced
        Special,    ///< a device, FIFO or socket: written into, opened by the path given
        Descriptor, ///< one of this process's descriptors (/dev/stdout, /dev/fd/N): written into
        Folder,     ///< a folder: nothing is written
        Failed,     ///< the path cannot be looked at: error says why
    };

    Kind kind = Kind::Failed;
    std::string path; ///< Missing, Regular: the name at the end of every link
    int descriptor = -1;
    mode_t mode = 0; ///< Regular: permission bits
    uid_t owner = 0;
    gid_t group = 0;
    int error = 0; ///< Failed: the errno

    /// Follows the links of `path` (a relative link target counts from the link's folder), up
    /// to the system's limit of 40.
    [[nodiscard]] static OutputTarget of(const std::string &path);
};

} // namespace qv::platform
