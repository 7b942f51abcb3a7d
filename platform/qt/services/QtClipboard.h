#pragma once
#include "platform/Output.h"

#include <QImage>

namespace qv::platform::qt {

/// The system clipboard; a surface goes on it as a bitmap at screen resolution.
class QtClipboard final : public Clipboard {
  public:
    void clear() override;
    void setImage(const common::DrawingTarget &surface, double widthTwips,
                  double heightTwips) override;
    /// The surface as a 96-dpi image, as the copy puts it on the clipboard.
    [[nodiscard]] static QImage render(const common::DrawingTarget &surface, double widthTwips,
                                       double heightTwips);
};

} // namespace qv::platform::qt
