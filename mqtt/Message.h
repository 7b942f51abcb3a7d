#pragma once
#include <string>

namespace qv::mqtt {

/// One message to publish.
struct Message {
    std::string topic;
    std::string payload;
    bool retain = false;
};

} // namespace qv::mqtt
