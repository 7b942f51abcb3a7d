#include "link/LinkTexts.h"

#include "common/NumberFormat.h"

namespace qv::link {

std::string connectedText(const std::string &device) {
    return "通信电缆已连接在" + device + "，通信已建立";
}

std::string notConnectedText(const std::string &device) {
    return "通信电缆未连接在" + device + "，通信无法建立";
}

std::string connectedText(int port) {
    return connectedText("COM" + common::signedText(port));
}

std::string notConnectedText(int port) {
    return notConnectedText("COM" + common::signedText(port));
}

} // namespace qv::link
