#pragma once
#include "platform/Dialogs.h"

#include <QString>

#include <string>
#include <string_view>

namespace qv::lang {

/// A text of the core as the user reads it in the language installed: a text of the core's table
/// (common/ShownTexts.h) translated, its parts filled in as the core filled them; any other text
/// (a file's name, a device path) as it is.
[[nodiscard]] QString shownText(std::string_view core);
[[nodiscard]] std::string shownString(std::string_view core);

/// A message box's texts and title, translated.
[[nodiscard]] platform::Message shownMessage(const platform::Message &message);

/// The program's message boxes and file dialogs in the language installed: each message and
/// filter translated on its way to the platform's dialogs.
class ShownMessageBoxes final : public platform::MessageBoxes {
  public:
    explicit ShownMessageBoxes(platform::MessageBoxes &boxes) : boxes_(boxes) {}
    [[nodiscard]] platform::Answer show(const platform::Message &message) override;

  private:
    platform::MessageBoxes &boxes_;
};

class ShownFileDialogs final : public platform::FileDialogs {
  public:
    explicit ShownFileDialogs(platform::FileDialogs &dialogs) : dialogs_(dialogs) {}
    [[nodiscard]] std::optional<std::string> openFile(const std::string &filter) override;
    [[nodiscard]] std::optional<std::string> saveFile(const std::string &filter) override;

  private:
    platform::FileDialogs &dialogs_;
};

} // namespace qv::lang
