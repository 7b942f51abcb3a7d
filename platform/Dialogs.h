#pragma once
#include <optional>
#include <string>

namespace qv::platform {

enum class Buttons { Ok, OkCancel, YesNoCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

/// A modal message box. An empty title means the application title "QM520W".
struct Message {
    std::string text;
    std::string details; ///< a further hint under the text; empty: none
    std::string title;
    Buttons buttons = Buttons::Ok;
    bool warning = false;
    Answer defaultButton = Answer::Ok;
    bool systemModal = false;
};

inline constexpr const char *kApplicationTitle = "QM520W";

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    /// The button pressed; a YesNo box closed without one (the program ending) gives Cancel.
    [[nodiscard]] virtual Answer show(const Message &message) = 0;
};

/// File open and save dialogs. The filter is written "Name(*.ext)|*.ext|...". nullopt: cancelled.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    [[nodiscard]] virtual std::optional<std::string> openFile(const std::string &filter) = 0;
    [[nodiscard]] virtual std::optional<std::string> saveFile(const std::string &filter) = 0;
};

} // namespace qv::platform
