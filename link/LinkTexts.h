#pragma once
#include <string>

namespace qv::link {

/// Panel-1 texts of the link state.
inline constexpr const char *kSearchingText = "搜索有效的通信口并检查电缆是否插上";
inline constexpr const char *kNotFoundText = "通信电缆未连接，通信无法建立";
inline constexpr const char *kDisconnectedText = "通信已断开";

/// "通信电缆已连接在COM 3，通信已建立" for port 3.
[[nodiscard]] std::string connectedText(int port);
/// "通信电缆未连接在COM 3，通信无法建立" for port 3.
[[nodiscard]] std::string notConnectedText(int port);
/// The same texts for a device without a number 1..8: its name stands where "COM 3" stands
/// ("通信电缆已连接在/dev/ttyUSB3，通信已建立").
[[nodiscard]] std::string connectedText(const std::string &device);
[[nodiscard]] std::string notConnectedText(const std::string &device);

} // namespace qv::link
