#pragma once
#include <algorithm>
#include <cstdio>
#include <string>

namespace qv::common {

/// `std::snprintf` into a string of exactly the length it needs.
template <class... Args>
[[nodiscard]] std::string formatted(const char *pattern, Args... args) {
    const int n = std::snprintf(nullptr, 0, pattern, args...);
    // Room for the terminating zero, taken off once written.
    std::string out(static_cast<std::size_t>(std::max(n, 0)) + 1, '\0');
    std::snprintf(out.data(), out.size(), pattern, args...);
    out.pop_back();
    return out;
}

} // namespace qv::common
