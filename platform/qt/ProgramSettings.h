#pragma once
#include <QSettings>
#include <QString>

#include <memory>

namespace qv::platform::qt {

/// The environment variable that names an INI file standing for the user's settings (the tests
/// keep their own this way).
inline constexpr const char *kSettingsVariable = "QVLINK_SETTINGS";

/// The program's settings: iniFile when given, else the file QVLINK_SETTINGS names, else the
/// user's own (QSettings' "qvlink" organisation and application).
[[nodiscard]] inline std::unique_ptr<QSettings> programSettings(const QString &iniFile = {}) {
    const QString file = iniFile.isEmpty() ? qEnvironmentVariable(kSettingsVariable) : iniFile;
    if (file.isEmpty())
        return std::make_unique<QSettings>(QStringLiteral("qvlink"), QStringLiteral("qvlink"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

} // namespace qv::platform::qt
