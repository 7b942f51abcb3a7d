#pragma once
#include "common/DrawingTarget.h"

#include <string>
#include <string_view>

namespace qv::platform {

/// The picture formats a drawing surface is exported in.
enum class PictureFormat { Png, Svg, Pdf };

/// Writes pictures of a drawing surface: PNG at a whole scale (1 = the clipboard's 96 dpi), SVG
/// and PDF as vectors with real text. An existing file is replaced only by a complete new one.
class PictureWriter {
  public:
    struct Result {
        bool ok = false;
        std::string reason; ///< why it failed, from the system
    };
    static constexpr int kMaxScale = 8;

    virtual ~PictureWriter() = default;
    /// The surface's display list, widthTwips x heightTwips from its top-left corner.
    [[nodiscard]] virtual Result write(const std::string &path, PictureFormat format,
                                       const common::DrawingTarget &surface, double widthTwips,
                                       double heightTwips, int scale) = 0;
};

} // namespace qv::platform
