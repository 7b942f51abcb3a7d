#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Marks a text for Qt Linguist's lupdate; the plain C++ core keeps the text as it is.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace qv::common {

/// One text the core shows: the text as the core makes it ("通信电缆已连接在%1，通信已建立",
/// %1 to %9 standing for the parts it fills in) and the text as the window shows it in Chinese,
/// the source of its translations, with the same parts.
struct ShownText {
    const char *core;
    const char *shown;
};

/// The translation context of the table's texts.
inline constexpr const char *kShownTextContext = "CoreText";

/// Every text of the core that the window, its dialogs or the command line show.
[[nodiscard]] std::span<const ShownText> shownTexts();

/// A core text recognised in the table: its entry and the parts it was filled in with
/// (parts[0] is %1).
struct ShownTextMatch {
    const ShownText *entry;
    std::vector<std::string> parts;
};

/// The first entry whose core text, its parts filled in, is the whole of text; nullopt when none
/// is (a file's name, a device path, a reason the system gave).
[[nodiscard]] std::optional<ShownTextMatch> matchShownText(std::string_view text);

} // namespace qv::common
