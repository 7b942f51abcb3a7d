#include "FileTestSupport.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

namespace qv::files::test {

std::string TempFolder::path(const std::string &name) const {
    return dir_.path().toStdString() + "/" + name;
}

std::string readBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

WaveformRecord sampleRecord() {
    WaveformRecord r;
    r.modelName = "7304";
    r.title = "Meter 7304 DSO database No.  5";
    r.date = "2026-12-07";
    r.time = "14:03";
    r.params = {17, -12, 9, 3.5, 1, 0, -40, -7};
    for (size_t i = 0; i < r.samples.size(); ++i)
        r.samples[i] = static_cast<double>(static_cast<int>(i % 37) - 18) / 4.0;
    r.samples[10] = 1.5e20;
    r.samples[11] = -1e-12;
    r.samples[12] = 0.3;
    return r;
}

FileSizeLimit::FileSizeLimit(long bytes) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    oldCur_ = old.rlim_cur;
    oldMax_ = old.rlim_max;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited{static_cast<rlim_t>(bytes), old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit old{static_cast<rlim_t>(oldCur_), static_cast<rlim_t>(oldMax_)};
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler_);
}

} // namespace qv::files::test
