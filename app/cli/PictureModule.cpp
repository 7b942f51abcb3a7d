// The picture module (qvlink-pictures.so): Qt's GUI application, the picture writer and the text
// measure, for the command line's pictures.
#include "app/cli/Modules.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "platform/qt/services/QtTextMeasure.h"

#include <QGuiApplication>

namespace {

class QtPictureKit final : public qv::app::cli::PictureKit {
  public:
    std::unique_ptr<QCoreApplication> application(int &argc, char **argv) override {
        auto app = std::make_unique<QGuiApplication>(argc, argv);
        // The platform is loaded; a picture needs no other plugin. Without this Qt's PNG writer
        // would load every image-format plugin there is (and the libraries they take) only to
        // ask each whether it writes PNG, and let one that says so write it instead of Qt.
        QCoreApplication::setLibraryPaths({});
        return app;
    }
    std::unique_ptr<qv::platform::PictureWriter> writer(bool syncToDisk) override {
        return std::make_unique<qv::platform::qt::QtPictureWriter>(syncToDisk);
    }
    std::unique_ptr<qv::common::TextMeasure> textMeasure() override {
        return std::make_unique<qv::platform::qt::QtTextMeasure>();
    }
};

} // namespace

extern "C" qv::app::cli::PictureKit *qvlinkPictureKit() {
    return new QtPictureKit;
}
