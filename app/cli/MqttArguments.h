#pragma once
#include "app/cli/Arguments.h"
#include "mqtt/PublishSettings.h"

#include <optional>
#include <span>
#include <string>

namespace qv::app::cli {

/// What --mqtt and the options beside it ask for, before the password file is read.
struct MqttArguments {
    mqtt::PublishSettings settings;
    std::string passwordFile; ///< --mqtt-password-file; the password is read from it at start
};

/// The rows of --mqtt and its options.
[[nodiscard]] std::span<const OptionSpec> mqttOptionRows();

/// The MQTT settings of parsed arguments: nullopt without --mqtt; a usage error's text in error
/// (then nullopt too). device names the meter in the default client id; the password comes
/// from QVLINK_MQTT_PASSWORD unless --mqtt-password-file names a file.
[[nodiscard]] std::optional<MqttArguments>
mqttArgumentsOf(const ParsedArguments &parsed, const std::string &device, std::string &error);

/// The first line of the password file; nullopt with the reason in error.
[[nodiscard]] std::optional<std::string> readPasswordFile(const std::string &path,
                                                          std::string &error);

} // namespace qv::app::cli
