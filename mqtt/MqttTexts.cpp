#include "mqtt/MqttTexts.h"

#include <array>
#include <string_view>

namespace qv::mqtt {
namespace {

/// The texts by kind: "{host}", "{broker}" and "{why}" stand for the host, HOST:PORT and detail.
struct Text {
    Failure::Kind kind;
    std::string_view text;
};
using K = Failure::Kind;
constexpr auto kTexts = std::to_array<Text>({
    {K::Lookup, "cannot find the MQTT broker's host {host}: {why}"},
    {K::Connect, "cannot connect to the MQTT broker at {broker}: {why}"},
    {K::Tls, "the TLS handshake with the MQTT broker at {broker} failed: {why}"},
    {K::Refused, "the MQTT broker at {broker} refused the connection: {why}"},
    {K::Lost, "the connection to the MQTT broker at {broker} was lost: {why}"},
    {K::Silent, "no answer from the MQTT broker at {broker} {why}"},
});

void replace(std::string &text, std::string_view key, const std::string &value) {
    if (const auto at = text.find(key); at != std::string::npos)
        text.replace(at, key.size(), value);
}

} // namespace

std::string failureText(const Failure &failure, const std::string &host,
                        const std::string &hostPort) {
    std::string text = "cannot reach the MQTT broker at {broker}: {why}";
    for (const Text &t : kTexts)
        if (t.kind == failure.kind)
            text = t.text;
    replace(text, "{host}", host);
    replace(text, "{broker}", hostPort);
    replace(text, "{why}", failure.detail);
    return text;
}

} // namespace qv::mqtt
