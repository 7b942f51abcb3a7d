#include "app/cli/FontWarmUp.h"

#include <dlfcn.h>

namespace qv::app::cli {

FontWarmUp::FontWarmUp() {
    // The same library Qt's GUI library loads next (by the same name); it stays loaded for the
    // run, so its set-up is there for Qt.
    void *fontconfig = ::dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_LOCAL);
    auto *init = fontconfig ? reinterpret_cast<int (*)()>(::dlsym(fontconfig, "FcInit")) : nullptr;
    if (init)
        thread_ = std::thread(init);
}

void FontWarmUp::wait() {
    if (thread_.joinable())
        thread_.join();
}

} // namespace qv::app::cli
