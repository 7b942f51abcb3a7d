// The picture module (qvlink-pictures.so): Qt's GUI application, the picture writer and the text
// measure, for the command line's pictures.
#include "app/cli/Modules.h"
#include "platform/qt/services/QtPictureWriter.h"
#include "platform/qt/services/QtTextMeasure.h"

#include <QGuiApplication>

#include <dlfcn.h>

#include <thread>

namespace {

/// Reads the system's font set-up (fontconfig's configuration files and font caches, the
/// largest part of a picture's set-up) on a thread of its own while the application starts;
/// the first font Qt asks for waits for it. Fontconfig came with Qt's GUI library.
class FontWarmUp {
  public:
    FontWarmUp() {
        void *fontconfig = ::dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NOLOAD);
        auto *init =
            fontconfig ? reinterpret_cast<int (*)()>(::dlsym(fontconfig, "FcInit")) : nullptr;
        if (init)
            thread_ = std::thread(init);
    }
    ~FontWarmUp() { wait(); }
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;
    void wait() {
        if (thread_.joinable())
            thread_.join();
    }

  private:
    std::thread thread_;
};

class QtPictureKit final : public qv::app::cli::PictureKit {
  public:
    std::unique_ptr<QCoreApplication> application(int &argc, char **argv) override {
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    std::unique_ptr<qv::platform::PictureWriter> writer(bool syncToDisk) override {
        fonts_.wait();
        return std::make_unique<qv::platform::qt::QtPictureWriter>(syncToDisk);
    }
    std::unique_ptr<qv::common::TextMeasure> textMeasure() override {
        fonts_.wait();
        return std::make_unique<qv::platform::qt::QtTextMeasure>();
    }

  private:
    FontWarmUp fonts_;
};

} // namespace

extern "C" qv::app::cli::PictureKit *qvlinkPictureKit() {
    return new QtPictureKit;
}
