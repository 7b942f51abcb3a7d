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
        return std::make_unique<QGuiApplication>(argc, argv);
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
