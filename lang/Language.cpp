#include "lang/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

namespace qv::lang {
namespace {

struct Named {
    Language language;
    std::string_view name;
};
constexpr Named kNames[] = {{Language::Chinese, "zh"}, {Language::English, "en"}};
constexpr const char *kKey = "language";

std::unique_ptr<QSettings> settings() {
    return platform::qt::programSettings();
}

} // namespace

std::optional<Language> parseLanguage(std::string_view name) {
    for (const Named &n : kNames)
        if (n.name == name)
            return n.language;
    return std::nullopt;
}

const char *languageName(Language language) {
    for (const Named &n : kNames)
        if (n.language == language)
            return n.name.data();
    return "zh";
}

Language settingLanguage() {
    const QByteArray kept = settings()->value(QLatin1String(kKey)).toString().toUtf8();
    return parseLanguage(kept.toStdString()).value_or(Language::Chinese);
}

void rememberLanguage(Language language) {
    settings()->setValue(QLatin1String(kKey), QLatin1String(languageName(language)));
}

Language runLanguage() {
    const QByteArray given = qgetenv(kLanguageVariable);
    if (const auto chosen = parseLanguage(given.toStdString()))
        return *chosen;
    return settingLanguage();
}

Translators::Translators(QObject *parent) : QObject(parent) {}

Translators::~Translators() = default; // a translator leaves the application as it goes

void Translators::apply(Language language) {
    language_ = language;
    program_.reset(), qt_.reset();
    // Chinese shows the source texts; Qt's own buttons and dialogs follow in Chinese.
    const bool english = language == Language::English;
    auto translator = std::make_unique<QTranslator>();
    const bool loaded = english
                            ? translator->load(QStringLiteral(":/i18n/qvlink_en.qm"))
                            : translator->load(QStringLiteral("qtbase_zh_CN"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded || !QCoreApplication::installTranslator(translator.get()))
        return;
    (english ? program_ : qt_) = std::move(translator);
}

} // namespace qv::lang
