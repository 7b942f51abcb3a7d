#include "mqtt/BrokerUrl.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace qv::mqtt {
namespace {

struct Scheme {
    std::string_view prefix;
    bool tls;
    int port;
};
constexpr auto kSchemes =
    std::to_array<Scheme>({{"mqtt://", false, 1883}, {"mqtts://", true, 8883}});

/// %XX escapes decoded; nullopt for a broken escape.
std::optional<std::string> decoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        // Two hexadecimal digits, either case.
        const char *from = text.data() + i + 1;
        const char *to = from + std::min<std::size_t>(2, text.size() - i - 1);
        unsigned char byte = 0;
        if (to - from != 2 || std::from_chars(from, to, byte, 16).ptr != to)
            return std::nullopt;
        out += static_cast<char>(byte);
        i += 2;
    }
    return out;
}

bool controlIn(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

/// The reason the prefix cannot stand before "/reading"; empty when it can.
std::string prefixFault(std::string_view prefix) {
    if (prefix.empty())
        return "a topic prefix after the host (mqtt://HOST/PREFIX)";
    if (prefix.find_first_of("+#") != std::string_view::npos)
        return "a topic prefix without the wildcards + and #";
    if (prefix.front() == '/' || prefix.find("//") != std::string_view::npos)
        return "a topic prefix without empty levels";
    if (controlIn(prefix))
        return "a topic prefix without control characters";
    return {};
}

} // namespace

std::string BrokerUrl::hostPort() const {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<BrokerUrl> parseBrokerUrl(std::string_view url, std::string &error) {
    const auto fail = [&](const std::string &needs) -> std::optional<BrokerUrl> {
        error = "--mqtt takes mqtt://[USER@]HOST[:PORT]/PREFIX or mqtts://…, with " + needs +
                ", not '" + std::string(url) + "'";
        return std::nullopt;
    };
    BrokerUrl out;
    std::string_view rest;
    for (const Scheme &s : kSchemes) {
        std::string lower(url.substr(0, s.prefix.size()));
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower == s.prefix) {
            out.tls = s.tls;
            out.port = s.port;
            rest = url.substr(s.prefix.size());
            break;
        }
    }
    if (rest.data() == nullptr)
        return fail("the scheme mqtt:// or mqtts://");
    const std::size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    std::string_view prefix = slash == std::string_view::npos ? "" : rest.substr(slash + 1);
    while (!prefix.empty() && prefix.back() == '/')
        prefix.remove_suffix(1);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        const std::string_view user = authority.substr(0, at);
        if (user.find(':') != std::string_view::npos)
            return fail("no password (give it in QVLINK_MQTT_PASSWORD or --mqtt-password-file)");
        const auto name = decoded(user);
        if (!name || name->empty() || controlIn(*name))
            return fail("a user name that is not empty, its escapes whole");
        out.user = *name;
        authority.remove_prefix(at + 1);
    }
    std::string_view port;
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos)
            return fail("an IPv6 address closed by ]");
        out.host = authority.substr(1, close - 1);
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && !after.starts_with(':'))
            return fail("a port after the IPv6 address's ]");
        port = after.empty() ? after : after.substr(1);
        if (after == ":")
            return fail("a port after the colon");
    } else {
        const auto colon = authority.find(':');
        out.host = authority.substr(0, colon);
        if (colon != std::string_view::npos) {
            port = authority.substr(colon + 1);
            if (port.empty())
                return fail("a port after the colon");
        }
    }
    if (out.host.empty() || controlIn(out.host) ||
        out.host.find_first_of(" /?#@") != std::string::npos)
        return fail("a host name");
    if (!port.empty()) {
        const char *end = port.data() + port.size();
        const auto [stop, why] = std::from_chars(port.data(), end, out.port);
        if (why != std::errc{} || stop != end || out.port < 1 || out.port > 65535)
            return fail("a port from 1 to 65535");
    }
    if (const std::string fault = prefixFault(prefix); !fault.empty())
        return fail(fault);
    out.prefix = prefix;
    return out;
}

} // namespace qv::mqtt
