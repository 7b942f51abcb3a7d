#pragma once
#include "mqtt/Transport.h"

#include <string>

namespace qv::mqtt {

/// One line naming why the broker at hostPort (host the host alone) could not be reached or was
/// left: "cannot connect to the MQTT broker at localhost:1883: Connection refused".
[[nodiscard]] std::string failureText(const Failure &failure, const std::string &host,
                                      const std::string &hostPort);

} // namespace qv::mqtt
