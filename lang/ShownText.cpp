#include "lang/ShownText.h"

#include "common/ShownTexts.h"

#include <QCoreApplication>

namespace qv::lang {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// %1 to %9 replaced in one pass: a part that holds "%2" (a file's name) stays as it is.
QString filled(const QString &pattern, const std::vector<std::string> &parts) {
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const auto index = i + 1 < pattern.size() ? pattern[i + 1].digitValue() - 1 : -1;
        if (c == QLatin1Char('%') && index >= 0 && static_cast<size_t>(index) < parts.size()) {
            out += qs(parts[static_cast<size_t>(index)]);
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

QString shownText(std::string_view core) {
    const auto match = common::matchShownText(core);
    if (!match)
        return qs(core);
    return filled(QCoreApplication::translate(common::kShownTextContext, match->entry->shown),
                  match->parts);
}

std::string shownString(std::string_view core) {
    return shownText(core).toStdString();
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
