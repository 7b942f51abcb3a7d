#include "link/LinkTexts.h"

#include "common/NumberFormat.h"

namespace qv::link {

std::string connectedText(int port) {
    return "通信电缆已连接在COM" + common::signedText(port) + "，通信已建立";
}

std::string notConnectedText(int port) {
    return "通信电缆未连接在COM" + common::signedText(port) + "，通信无法建立";
}

} // namespace qv::link
