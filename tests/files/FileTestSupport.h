#pragma once
#include "files/WaveformRecord.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace qv::files::test {

/// A folder that disappears with the test.
struct TempFolder {
    QTemporaryDir dir;
    std::string path(const std::string &name) const {
        return dir.path().toStdString() + "/" + name;
    }
};

inline std::string readBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

/// A waveform with negative, fractional and large values in every part.
inline WaveformRecord sampleRecord() {
    WaveformRecord r{"7304", -1, "Meter 7304 DSO database No.  5", "2026-12-07", "14:03"};
    r.params = {17, -12, 9, 3.5, 1, 0, -40, -7};
    for (size_t i = 0; i < r.samples.size(); ++i)
        r.samples[i] = static_cast<double>(static_cast<int>(i % 37) - 18) / 4.0;
    r.samples[10] = 1.5e20, r.samples[11] = -1e-12, r.samples[12] = 0.3;
    return r;
}

/// Runs f while this process may write no file larger than `bytes`, so that writes fail part-way.
template <class F> void withFileSizeLimit(long bytes, F f) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limited{static_cast<rlim_t>(bytes), old.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    f();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
}

/// Makes a folder refuse new files while its files stay writable (immutable for root, read-only
/// for anyone else), or undoes that; true when the folder then refuses new files.
inline bool lockFolder(const std::string &folder, bool lock = true) {
    const QString path = QString::fromStdString(folder);
    if (geteuid() == 0)
        QProcess::execute(QStringLiteral("chattr"), {QLatin1String(lock ? "+i" : "-i"), path});
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                    (lock ? QFileDevice::Permissions() : QFileDevice::WriteOwner));
    QFile probe(path + QStringLiteral("/probe"));
    return !probe.open(QIODevice::WriteOnly) || !probe.remove();
}

} // namespace qv::files::test
