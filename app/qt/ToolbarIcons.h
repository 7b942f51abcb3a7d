#pragma once
#include <QIcon>
#include <string_view>

namespace qv::app::qt {

/// The toolbar's own 16 x 16 icon for a button key, drawn as vectors so it is sharp at any
/// scale; an empty icon for an unknown key.
[[nodiscard]] QIcon toolbarIcon(std::string_view key);

} // namespace qv::app::qt
