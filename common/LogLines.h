#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

namespace qv::common {

/// Where each line of the log's text starts, so a view can reach any line without copying the
/// text. Lines end in LF (the log writes CR LF); the text after the last line end is a line too,
/// empty when the text ends in a line end. Growing at the end costs only the new text.
class LogLines {
  public:
    /// Indexes the whole text anew.
    void reset(std::string_view text);
    /// Indexes what was added to the end of the text since the last call; `text` is all of it.
    void grew(std::string_view text);

    [[nodiscard]] std::size_t count() const { return starts_.size(); }
    /// The byte offset where line i starts.
    [[nodiscard]] std::size_t start(std::size_t i) const { return starts_[i]; }
    /// Line i of the text without its line end.
    [[nodiscard]] std::string_view line(std::string_view text, std::size_t i) const;
    /// The line holding byte offset pos (a line end belongs to its line).
    [[nodiscard]] std::size_t lineAt(std::size_t pos) const;

  private:
    std::vector<std::size_t> starts_{0};
    std::size_t indexed_ = 0;
};

} // namespace qv::common
