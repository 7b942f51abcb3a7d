#include "app/cli/Modules.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace qv::app::cli {
namespace {

/// The folder of the running program.
std::string programFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string exe(path, static_cast<std::size_t>(n));
    return exe.substr(0, exe.find_last_of('/'));
}

/// A symbol of a module beside the program (a build) or in its library folder (installed:
/// bin/../lib/qvlink); null with the reason in error. A module stays loaded for the run.
void *symbolOf(const char *module, const char *symbol, std::string &error) {
    const std::string folder = programFolder();
    std::string why;
    for (const std::string &path :
         {folder + "/" + module, folder + "/../" QV_MODULE_DIR "/" + module}) {
        // Functions bound as first called: of the GUI libraries' many, a run calls few.
        void *handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!handle) {
            why = ::dlerror();
            continue;
        }
        if (void *found = ::dlsym(handle, symbol))
            return found;
        why = ::dlerror();
    }
    error = std::string("cannot load ") + module + " (" + why + ")";
    return nullptr;
}

} // namespace

std::unique_ptr<PictureKit> loadPictureKit(std::string &error) {
    auto *entry = reinterpret_cast<PictureKit *(*)()>(
        symbolOf("qvlink-pictures.so", "qvlinkPictureKit", error));
    return entry ? std::unique_ptr<PictureKit>(entry()) : nullptr;
}

WindowMain *loadWindow(std::string &error) {
    return reinterpret_cast<WindowMain *>(symbolOf("qvlink-window.so", "qvlinkWindow", error));
}

} // namespace qv::app::cli
