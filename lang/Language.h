#pragma once
#include "platform/qt/ProgramSettings.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string_view>

class QTranslator;

namespace qv::lang {

/// The language of every text the program shows. Chinese shows the texts as written (the
/// source strings); English takes them from the embedded translation.
enum class Language { Chinese, English };

/// "zh" or "en"; nullopt for anything else.
[[nodiscard]] std::optional<Language> parseLanguage(std::string_view name);
[[nodiscard]] const char *languageName(Language language);

/// The environment variable that holds the language of this run (set by --lang).
inline constexpr const char *kLanguageVariable = "QVLINK_LANG";
/// The environment variable that names an INI file to keep the settings in instead of the
/// user's (tests).
inline constexpr const char *kSettingsVariable = platform::qt::kSettingsVariable;

/// The language kept in the user's settings; Chinese when none is kept.
[[nodiscard]] Language settingLanguage();
/// Keeps the language in the user's settings for the next runs.
void rememberLanguage(Language language);
/// This run's language: --lang (kLanguageVariable) when given, else the setting.
[[nodiscard]] Language runLanguage();

/// The translators of the program and of Qt's own dialogs, installed in the application for one
/// language at a time. Installing sends every widget a LanguageChange event.
class Translators : public QObject {
    Q_OBJECT
  public:
    explicit Translators(QObject *parent = nullptr);
    ~Translators() override;

    /// Installs the translations of language, removing those of the one before.
    void apply(Language language);
    [[nodiscard]] Language language() const { return language_; }

  private:
    std::unique_ptr<QTranslator> program_;
    std::unique_ptr<QTranslator> qt_;
    Language language_ = Language::Chinese;
};

} // namespace qv::lang
