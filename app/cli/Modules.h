#pragma once
#include "app/cli/WindowArguments.h"
#include "common/TextMeasure.h"
#include "platform/Pictures.h"

#include <QCoreApplication>

#include <memory>
#include <string>

namespace qv::app::cli {

/// What drawing pictures takes: Qt's GUI part. It lives in a module of its own
/// (qvlink-pictures.so), loaded only where a picture is drawn, so that a start that draws none
/// loads no GUI library (Qt Gui, fonts, X, OpenGL: most of the time a start takes).
class PictureKit {
  public:
    virtual ~PictureKit() = default;
    /// Qt's GUI application on the platform QT_QPA_PLATFORM names.
    [[nodiscard]] virtual std::unique_ptr<QCoreApplication> application(int &argc, char **argv) = 0;
    /// Pictures as the window draws them; syncToDisk as QtPictureWriter takes it.
    [[nodiscard]] virtual std::unique_ptr<platform::PictureWriter> writer(bool syncToDisk) = 0;
    /// Text measured in the fonts the window draws with.
    [[nodiscard]] virtual std::unique_ptr<common::TextMeasure> textMeasure() = 0;
};

/// The entry of the window's module (qvlink-window.so): runs the window; its exit code.
using WindowMain = int(const char *program, WindowOptions &options);

/// The picture module's kit; nullptr with the reason in error.
[[nodiscard]] std::unique_ptr<PictureKit> loadPictureKit(std::string &error);
/// The window module's entry; nullptr with the reason in error.
[[nodiscard]] WindowMain *loadWindow(std::string &error);

} // namespace qv::app::cli

/// The modules' entries (C names, looked up by the loader).
extern "C" {
qv::app::cli::PictureKit *qvlinkPictureKit();
int qvlinkWindow(const char *program, qv::app::cli::WindowOptions &options);
}
