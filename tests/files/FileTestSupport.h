#pragma once
#include "files/WaveformRecord.h"

#include <QTemporaryDir>

#include <string>

namespace qv::files::test {

/// A folder that disappears with the test.
class TempFolder {
  public:
    [[nodiscard]] std::string path(const std::string &name) const;

  private:
    QTemporaryDir dir_;
};

[[nodiscard]] std::string readBytes(const std::string &path);
void writeBytes(const std::string &path, const std::string &bytes);

/// A waveform with negative, fractional and large values in every part.
[[nodiscard]] WaveformRecord sampleRecord();

/// Limits the size of files this process may write, so that writes fail part-way; restores the
/// limit when it goes out of scope.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

  private:
    unsigned long long oldCur_ = 0, oldMax_ = 0;
    void (*oldHandler_)(int) = nullptr;
};

} // namespace qv::files::test
