#include "mqtt/Discovery.h"

#include "mqtt/Payloads.h"
#include "output/Json.h"

#include <array>
#include <cctype>

namespace qv::mqtt {
namespace {

using output::json::string;

/// The frame's sensors: object id, name, the measurement and its unit.
struct FrameSensor {
    std::string_view object, name, measurement, unit;
};
constexpr auto kFrameSensors = std::to_array<FrameSensor>({
    {"rms", "RMS", "rms", "V"},
    {"frequency", "Frequency", "frequency", "Hz"},
});

} // namespace

Discovery::Discovery(std::string prefix, std::string_view nodeId) : prefix_(std::move(prefix)) {
    for (const char c : nodeId)
        node_ += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
}

Message Discovery::config(std::string_view object, std::string_view name, const std::string &topic,
                          std::string_view field, std::string_view unit) const {
    const Topics topics(prefix_);
    std::vector<output::json::Member> m{
        {"name", string(name)},
        {"unique_id", string(node_ + "_" + std::string(object))},
        {"state_topic", string(topic)},
        {"value_template", string("{{ value_json." + std::string(field) + " }}")},
        {"availability",
         "[" +
             output::json::object(
                 {{"topic", string(topics.status)},
                  {"value_template", string("{{ 'online' if value in ('online', 'link_back') "
                                            "else 'offline' }}")}},
                 "") +
             "]"},
        {"device", output::json::object(
                       {{"identifiers", "[" + string(node_) + "]"}, {"name", string(node_)}}, "")}};
    if (!unit.empty())
        m.insert(m.begin() + 4, {"unit_of_measurement", string(unit)});
    return {"homeassistant/sensor/" + node_ + "/" + std::string(object) + "/config",
            output::json::object(m, ""), true};
}

std::vector<Message> Discovery::before(std::string_view unit) {
    std::vector<Message> out;
    if (sent_ && unit == unit_)
        return out;
    unit_ = unit;
    out.push_back(config("reading", "Reading", Topics(prefix_).reading, "value", unit));
    if (!sent_)
        for (const FrameSensor &s : kFrameSensors)
            out.push_back(config(s.object, s.name, Topics(prefix_).frame,
                                 "measurements." + std::string(s.measurement) + ".value", s.unit));
    sent_ = true;
    return out;
}

} // namespace qv::mqtt
