#include "files/FileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <algorithm>

namespace qv::files {
namespace {

QString qPath(const std::string &path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

std::string reasonOf(const QFileDevice &file) {
    return file.errorString().toStdString();
}

FileStore::WriteResult writeInPlace(const std::string &path, std::string_view bytes) {
    QFile file(qPath(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return {false, reasonOf(file)};
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size)
        return {false, file.error() == QFileDevice::NoError ? "写入不完整" : reasonOf(file)};
    file.close();
    if (file.error() != QFileDevice::NoError)
        return {false, reasonOf(file)};
    return {true, {}};
}

} // namespace

bool FileStore::exists(const std::string &path) {
    return !path.empty() && QFileInfo::exists(qPath(path));
}

std::optional<std::string> FileStore::readLines(const std::string &path, int lines,
                                                std::size_t limit) {
    // Only regular files: opening a pipe could wait for a writer for ever.
    if (path.empty() || !QFileInfo(qPath(path)).isFile())
        return std::nullopt;
    QFile file(qPath(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A line takes at most two line-end characters (CR LF), so this many of them means the
    // lines wanted are all in.
    const std::size_t endsWanted = static_cast<std::size_t>(std::max(lines, 0)) * 2;
    std::size_t ends = 0;
    std::string data;
    char chunk[65536];
    while (ends < endsWanted && data.size() < limit) {
        const qint64 room = static_cast<qint64>(std::min(sizeof chunk, limit - data.size()));
        const qint64 got = file.read(chunk, room);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return data;
        ends += static_cast<std::size_t>(
            std::count_if(chunk, chunk + got, [](char c) { return c == '\r' || c == '\n'; }));
        data.append(chunk, static_cast<std::size_t>(got));
    }
    if (ends >= endsWanted || file.atEnd())
        return data;
    // Stopped by the limit inside a line: that line is incomplete.
    const std::size_t lastEnd = data.find_last_of("\r\n");
    data.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    return data;
}

FileStore::WriteResult FileStore::write(const std::string &path, std::string_view bytes) {
    if (path.empty())
        return {false, "empty file name"};
    QSaveFile file(qPath(path));
    file.setDirectWriteFallback(true);
    // Unbuffered: a buffered QSaveFile can lose the tail of a short write (file size limit) at
    // commit and still report success; written directly, a short write shows here.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // No temporary file can be made beside it (a folder the user may not write): a file
        // that is there and may be written is written in place.
        if (QFileInfo(qPath(path)).isFile())
            return writeInPlace(path, bytes);
        return {false, reasonOf(file)};
    }
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        WriteResult failed{false,
                           file.error() == QFileDevice::NoError ? "写入不完整" : reasonOf(file)};
        file.cancelWriting();
        return failed;
    }
    if (!file.commit())
        return {false, reasonOf(file)};
    return {true, {}};
}

} // namespace qv::files
