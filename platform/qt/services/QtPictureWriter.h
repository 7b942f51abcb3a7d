#pragma once
#include "platform/Pictures.h"

#include <QByteArray>
#include <QImage>

namespace qv::platform::qt {

/// Pictures through the display-list painter that paints the window, the printer and the
/// clipboard: PNG as QImage, SVG through QSvgGenerator, PDF through QPdfWriter.
class QtPictureWriter final : public PictureWriter {
  public:
    /// With syncToDisk (the window) each picture reaches the disk before it replaces the old
    /// file; without (batches on the command line) the replace is atomic but does not wait.
    explicit QtPictureWriter(bool syncToDisk = true) : syncToDisk_(syncToDisk) {}

    Result write(const std::string &path, PictureFormat format,
                 const common::DrawingTarget &surface, double widthTwips, double heightTwips,
                 int scale) override;

    /// The surface as a bitmap at `scale` x 96 dpi (scale 1 is the clipboard's picture).
    [[nodiscard]] static QImage png(const common::DrawingTarget &surface, double widthTwips,
                                    double heightTwips, int scale);
    /// The file bytes of a picture; empty when rendering failed.
    [[nodiscard]] static QByteArray bytes(PictureFormat format,
                                          const common::DrawingTarget &surface, double widthTwips,
                                          double heightTwips, int scale);

  private:
    bool syncToDisk_;
};

} // namespace qv::platform::qt
