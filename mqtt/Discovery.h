#pragma once
#include "mqtt/Message.h"

#include <string>
#include <string_view>
#include <vector>

namespace qv::mqtt {

/// Home Assistant's discovery configs (retained, under homeassistant/sensor/NODE/): a sensor of
/// the readings in the unit of the reading, and sensors of the frames' RMS and frequency, each
/// available while the status says so.
class Discovery {
  public:
    /// nodeId: the client's id; characters other than letters, digits, '_' and '-' become '_'.
    Discovery(std::string prefix, std::string_view nodeId);

    /// What to publish before a reading in this unit: every config at first, the readings'
    /// config again when the unit changed, else nothing.
    [[nodiscard]] std::vector<Message> before(std::string_view unit);
    [[nodiscard]] const std::string &nodeId() const { return node_; }

  private:
    [[nodiscard]] Message config(std::string_view object, std::string_view name,
                                 const std::string &topic, std::string_view field,
                                 std::string_view unit) const;

    std::string prefix_, node_, unit_;
    bool sent_ = false;
};

} // namespace qv::mqtt
