#pragma once
#include "link/RawRecording.h"

#include <cstddef>
#include <memory>
#include <string>

namespace qv::link {

/// The records of a raw recording one at a time, in file order, as a replay takes them.
class RawRecordSource {
  public:
    virtual ~RawRecordSource() = default;
    /// The next record (good until the next peek), or null after the last.
    [[nodiscard]] virtual const RawRecord *peek() = 0;
    /// Moves past the next record.
    virtual void take() = 0;
    /// How many whole records the recording holds.
    [[nodiscard]] virtual std::size_t size() const = 0;
    /// The header line's note (the start time).
    [[nodiscard]] virtual const std::string &note() const = 0;
};

/// A recording held in memory as a source.
[[nodiscard]] std::unique_ptr<RawRecordSource> recordSource(RawRecording recording);

} // namespace qv::link
