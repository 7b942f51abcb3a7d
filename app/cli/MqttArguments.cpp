#include "app/cli/MqttArguments.h"

#include "files/FileStore.h"

#include <QByteArrayView>
#include <QString>
#include <QSysInfo>

#include <array>
#include <cstdlib>

namespace qv::app::cli {
namespace {

using Value = OptionSpec::Value;

constexpr auto kRows = std::to_array<OptionSpec>({
    {.name = "mqtt",
     .value = Value::Required,
     .valueName = "url",
     .description = "Publish readings and frames to this MQTT broker: "
                    "mqtt://[USER@]HOST[:PORT]/PREFIX, mqtts://... for TLS."},
    {.name = "mqtt-qos",
     .value = Value::Required,
     .valueName = "0|1",
     .description = "Quality of service of the messages (default 1: acknowledged)."},
    {.name = "mqtt-ca",
     .value = Value::Required,
     .valueName = "file",
     .description = "Certificates the broker's must come from (default: the system's)."},
    {.name = "mqtt-cert",
     .value = Value::Required,
     .valueName = "file",
     .description = "The client's certificate, with --mqtt-key."},
    {.name = "mqtt-key",
     .value = Value::Required,
     .valueName = "file",
     .description = "The client certificate's private key."},
    {.name = "mqtt-id",
     .value = Value::Required,
     .valueName = "id",
     .description = "The client's id (default: qvlink-HOST-DEVICE)."},
    {.name = "mqtt-password-file",
     .value = Value::Required,
     .valueName = "file",
     .description = "Read the password from this file's first line (else "
                    "QVLINK_MQTT_PASSWORD)."},
    {.name = "mqtt-queue",
     .value = Value::Required,
     .valueName = "n",
     .description = "Messages kept while the broker is away, the oldest dropped first "
                    "(default 100000)."},
    {.name = "mqtt-discovery",
     .description = "Publish Home Assistant discovery configs (retained)."},
});

} // namespace

std::span<const OptionSpec> mqttOptionRows() {
    return kRows;
}

std::optional<MqttArguments> mqttArgumentsOf(const ParsedArguments &p, const std::string &device,
                                             std::string &error) {
    const auto fail = [&error](std::string text) -> std::optional<MqttArguments> {
        error = std::move(text);
        return std::nullopt;
    };
    if (!p.has("mqtt")) {
        for (const OptionSpec &row : kRows)
            if (p.has(row.name))
                return fail("--" + std::string(row.name) + " needs --mqtt");
        return std::nullopt;
    }
    MqttArguments out;
    mqtt::PublishSettings &s = out.settings;
    const auto url = mqtt::parseBrokerUrl(p.valueOr("mqtt", ""), error);
    if (!url)
        return std::nullopt;
    s.url = *url;
    const std::string qos = p.valueOr("mqtt-qos", "1");
    if (qos != "0" && qos != "1")
        return fail("--mqtt-qos takes 0 or 1, not '" + qos + "'");
    s.qos = qos[0] - '0';
    if (p.has("mqtt-queue")) {
        const std::string n = p.valueOr("mqtt-queue", "");
        if (n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string::npos ||
            std::stol(n) < 1)
            return fail("--mqtt-queue takes a whole number from 1 to 999999999, not '" + n + "'");
        s.queueLimit = std::stoul(n);
    }
    s.caFile = p.valueOr("mqtt-ca", "");
    s.certFile = p.valueOr("mqtt-cert", "");
    s.keyFile = p.valueOr("mqtt-key", "");
    if (!s.url.tls && (p.has("mqtt-ca") || p.has("mqtt-cert") || p.has("mqtt-key")))
        return fail("--mqtt-ca, --mqtt-cert and --mqtt-key need an mqtts:// URL");
    if (s.certFile.empty() != s.keyFile.empty())
        return fail("--mqtt-cert and --mqtt-key go together");
    s.clientId = p.valueOr("mqtt-id", "");
    // The client library refuses any other id, without saying why.
    if (s.clientId.size() > 65535 || !QByteArrayView(s.clientId).isValidUtf8())
        return fail("--mqtt-id takes UTF-8 text of at most 65535 bytes");
    if (s.clientId.empty())
        s.clientId = mqtt::defaultClientId(QSysInfo::machineHostName().toStdString(), device);
    out.passwordFile = p.valueOr("mqtt-password-file", "");
    if (!out.passwordFile.empty() && s.url.user.empty())
        return fail("a password needs a user: mqtt://USER@HOST/PREFIX");
    if (const char *password = std::getenv("QVLINK_MQTT_PASSWORD");
        password && out.passwordFile.empty() && !s.url.user.empty())
        s.password = password;
    s.discovery = p.has("mqtt-discovery");
    return out;
}

std::optional<std::string> readPasswordFile(const std::string &path, std::string &error) {
    const auto text = files::FileStore::readLines(path, 1, 4096);
    if (!text) {
        error = "cannot read the password file " + path;
        return std::nullopt;
    }
    return text->substr(0, text->find_first_of("\r\n"));
}

} // namespace qv::app::cli
