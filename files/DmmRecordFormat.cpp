#include "files/DmmRecordFormat.h"

namespace qv::files {

std::string DmmRecordFormat::compose(const Content &c) {
    std::string out;
    out.append(kHeader).append("\r\n");
    out.append(c.date).append("\r\n");
    out.append(c.time).append("\r\n");
    out.append(c.modelName).append(" DMM Record: ").append(c.title).append("\r\n");
    out.append("\r\n");
    out.append(c.log).append("\r\n");
    return out;
}

} // namespace qv::files
