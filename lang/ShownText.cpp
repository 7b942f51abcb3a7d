#include "lang/ShownText.h"

#include "common/ShownTexts.h"

#include <QCoreApplication>

namespace qv::lang {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// %1 to %9 replaced in one pass, byte for byte: a part that holds "%2" or bytes that are not
// UTF-8 (a file's name) stays as it is.
std::string filled(const std::string &pattern, const std::vector<std::string> &parts) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        // Parts are %1 to %9: any other character after '%' gives no index below their count.
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && index < parts.size()) {
            out += parts[index];
            ++i;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

} // namespace

QString shownText(std::string_view core) {
    return qs(shownString(core));
}

std::string shownString(std::string_view core) {
    const auto match = common::matchShownText(core);
    if (!match)
        return std::string(core);
    const QString pattern =
        QCoreApplication::translate(common::kShownTextContext, match->entry->shown);
    return filled(pattern.toStdString(), match->parts);
}

platform::Message shownMessage(const platform::Message &message) {
    platform::Message m = message;
    m.text = shownString(message.text);
    m.details = shownString(message.details);
    m.title = shownString(message.title.empty() ? platform::kApplicationTitle : message.title);
    return m;
}

platform::Answer ShownMessageBoxes::show(const platform::Message &message) {
    return boxes_.show(shownMessage(message));
}

std::optional<std::string> ShownFileDialogs::openFile(const std::string &filter) {
    return dialogs_.openFile(shownString(filter));
}

std::optional<std::string> ShownFileDialogs::saveFile(const std::string &filter) {
    return dialogs_.saveFile(shownString(filter));
}

} // namespace qv::lang
