#include "link/RawRecording.h"

#include "link/RawRecordSource.h"
#include "link/RawRecordingReader.h"

#include <sstream>

namespace qv::link {

namespace {

/// Every record of a reader, in memory.
std::optional<RawRecording> collect(std::unique_ptr<RawRecordingReader> reader) {
    if (!reader)
        return std::nullopt;
    RawRecording rec;
    rec.note = reader->note();
    for (const RawRecord *r; (r = reader->peek()) != nullptr; reader->take())
        rec.records.push_back(*r);
    rec.truncated = reader->truncated();
    rec.cutBytes = reader->cutBytes();
    return rec;
}

/// A recording in memory, one record at a time.
class RecordList final : public RawRecordSource {
  public:
    explicit RecordList(RawRecording recording) : recording_(std::move(recording)) {}
    const RawRecord *peek() override {
        return next_ < recording_.records.size() ? &recording_.records[next_] : nullptr;
    }
    void take() override { ++next_; } // past the end peek() still finds none
    std::size_t size() const override { return recording_.records.size(); }
    const std::string &note() const override { return recording_.note; }

  private:
    RawRecording recording_;
    std::size_t next_ = 0;
};

} // namespace

std::optional<RawRecording> readRawRecording(std::istream &in, std::string &error) {
    std::ostringstream all;
    all << in.rdbuf();
    return collect(RawRecordingReader::open(
        std::make_unique<std::istringstream>(std::move(all).str()), error));
}

std::optional<RawRecording> readRawRecording(const std::string &path, std::string &error) {
    return collect(RawRecordingReader::open(path, error));
}

std::unique_ptr<RawRecordSource> recordSource(RawRecording recording) {
    return std::make_unique<RecordList>(std::move(recording));
}

} // namespace qv::link
