#include "mqtt/qt/QtSettingsStore.h"

#include "platform/qt/ProgramSettings.h"

#include <QSettings>

namespace qv::mqtt::qt {
namespace {

std::string text(const QSettings &s, const char *key) {
    return s.value(QLatin1String(key)).toString().toStdString();
}

} // namespace

StoredSettings QtSettingsStore::load() const {
    const auto settings = platform::qt::programSettings();
    const QSettings &s = *settings;
    StoredSettings out;
    out.url = text(s, "mqtt/url");
    out.password = text(s, "mqtt/password");
    out.rememberPassword = s.value(QStringLiteral("mqtt/rememberPassword"), false).toBool();
    out.qos = s.value(QStringLiteral("mqtt/qos"), 1).toInt();
    out.caFile = text(s, "mqtt/ca");
    out.certFile = text(s, "mqtt/cert");
    out.keyFile = text(s, "mqtt/key");
    out.clientId = text(s, "mqtt/id");
    out.queueLimit = s.value(QStringLiteral("mqtt/queue"), 100000).toLongLong();
    out.discovery = s.value(QStringLiteral("mqtt/discovery"), false).toBool();
    return out;
}

void QtSettingsStore::save(const StoredSettings &in) {
    const auto settings = platform::qt::programSettings();
    QSettings &s = *settings;
    const auto put = [&s](const char *key, const std::string &v) {
        s.setValue(QLatin1String(key), QString::fromStdString(v));
    };
    put("mqtt/url", in.url);
    s.setValue(QStringLiteral("mqtt/rememberPassword"), in.rememberPassword);
    if (in.rememberPassword)
        put("mqtt/password", in.password);
    else
        s.remove(QStringLiteral("mqtt/password"));
    s.setValue(QStringLiteral("mqtt/qos"), in.qos);
    put("mqtt/ca", in.caFile);
    put("mqtt/cert", in.certFile);
    put("mqtt/key", in.keyFile);
    put("mqtt/id", in.clientId);
    s.setValue(QStringLiteral("mqtt/queue"), in.queueLimit);
    s.setValue(QStringLiteral("mqtt/discovery"), in.discovery);
}

} // namespace qv::mqtt::qt
