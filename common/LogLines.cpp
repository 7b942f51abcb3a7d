#include "common/LogLines.h"

#include <algorithm>

namespace qv::common {

void LogLines::reset(std::string_view text) {
    starts_.assign(1, 0);
    indexed_ = 0;
    grew(text);
}

void LogLines::grew(std::string_view text) {
    if (text.size() < indexed_) {
        reset(text);
        return;
    }
    for (std::size_t i = text.find('\n', indexed_); i != std::string_view::npos;
         i = text.find('\n', i + 1))
        starts_.push_back(i + 1);
    indexed_ = text.size();
}

std::string_view LogLines::line(std::string_view text, std::size_t i) const {
    const std::size_t begin = std::min(starts_[i], text.size());
    std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : text.size();
    end = std::clamp(end, begin, text.size());
    std::string_view s = text.substr(begin, end - begin);
    if (!s.empty() && s.back() == '\n')
        s.remove_suffix(1);
    if (!s.empty() && s.back() == '\r')
        s.remove_suffix(1);
    return s;
}

std::size_t LogLines::lineAt(std::size_t pos) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), pos);
    return static_cast<std::size_t>(after - starts_.begin()) - 1;
}

} // namespace qv::common
