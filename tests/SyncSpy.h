#pragma once
#include <string>
#include <vector>

namespace qv::test {

/// What each fsync of the test program synced, in order (a path); the system's own fsync runs.
extern std::vector<std::string> synced;
/// An errno the next fsync fails with instead (0: none).
extern int failNextSync;

} // namespace qv::test
