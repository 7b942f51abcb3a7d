// The DMM record as it is read back: any bytes as a record file, a Record CSV or a plain log,
// through the readers the trend and the export use. Whatever is read writes as a Record CSV that
// reads back to the same log, and every point the trend takes is a finite number.
#include "FuzzCheck.h"
#include "output/RecordCsv.h"
#include "trend/LogImport.h"

namespace {

using namespace qv;

void checkLog(std::string_view log) {
    trend::TrendModel model;
    (void)trend::importLog(log, {1.8e9, 1.8e9 - 3600}, model);
    for (const trend::Series &series : model.series())
        for (const trend::Point &p : series.points)
            FUZZ_CHECK(std::isfinite(p.t) && (p.isGap() || std::isfinite(p.v)),
                       "a point not finite");
    const std::string csv = output::recordCsv(log);
    const auto back = output::logOfRecordCsv(csv);
    FUZZ_CHECK(back.has_value(), "a Record CSV of our own does not read back");
    FUZZ_CHECK(output::recordCsv(*back) == csv, "a Record CSV does not read back to its log");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    if (const auto log = output::logOfRecordFile(text))
        checkLog(*log);
    if (const auto record = trend::splitRecordFile(text))
        checkLog(record->log);
    if (const auto log = output::logOfRecordCsv(text))
        checkLog(*log);
    checkLog(text);
    return 0;
}
