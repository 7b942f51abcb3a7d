#include "dmm/MeterIdentity.h"

#include <array>

namespace qv::dmm {
namespace {

constexpr auto kModels = std::to_array<const char *>(
    {"7302", "7302B", "7303", "7304", "7303A", "7304A", "QM520V", "ZORA900A", "ZORA900X"});

struct WorkMode {
    const char *status;
    const char *name;
};

constexpr auto kWorkModes = std::to_array<WorkMode>({
    {"工作模式: DMM", " DMM sample"},
    {"工作模式: DMM mem", " DMM database"},
    {"工作模式: DMM mem", " DMM database"},
    {"工作模式: DSO", " DSO sample "},
    {"工作模式: DSO mem", " DSO database No. "},
    {"工作模式: DSO mem", " DSO database No. "},
});

} // namespace

const char *modelName(int code) {
    return code >= 0 && code < static_cast<int>(kModels.size()) ? kModels[code] : nullptr;
}

int modelCode(const std::string &name) {
    for (size_t i = 0; i < kModels.size(); ++i)
        if (name == kModels[i])
            return static_cast<int>(i);
    return -1;
}

void MeterModel(common::Form &form, int code) {
    form.v.MeterModelCode = static_cast<std::int16_t>(code);
    if (const char *name = modelName(code))
        form.v.MeterModelName = name;
    form.el.panel[1].setText("仪表型号: " + form.v.MeterModelName);
}

std::string MeterWorkMode(common::Form &form, int code) {
    if (code < 0 || code >= static_cast<int>(kWorkModes.size()))
        return {};
    form.v.WorkModeName = kWorkModes[code].name;
    return kWorkModes[code].status;
}

} // namespace qv::dmm
