#pragma once
#include "platform/Dialogs.h"

#include <string>

namespace qv::files {

/// The message boxes of the file commands.
class FileMessages {
  public:
    explicit FileMessages(platform::MessageBoxes &boxes) : boxes_(boxes) {}

    /// "<path> 已经存在。要替换它吗?" with OK and Cancel, Cancel the default; true on OK.
    [[nodiscard]] bool confirmReplace(const std::string &path);
    /// Told under the format message when Open was given a DMM record file.
    static constexpr const char *kRecordFileHint =
        "这是DMM记录文件: 请在 Record > Trend… 窗口中用“打开文件…”打开。";

    /// "<path> 文件格式不正确" with OK, and details under it when there are any.
    void wrongFormat(const std::string &path, const std::string &details = {});
    /// "<path> 保存失败: <reason>" with OK.
    void saveFailed(const std::string &path, const std::string &reason);

  private:
    platform::MessageBoxes &boxes_;
};

} // namespace qv::files
