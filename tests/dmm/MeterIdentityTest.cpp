#include "dmm/MeterIdentity.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace qv::dmm {
namespace {

TEST(MeterIdentity, ModelCodesSetCodeNameAndPanel) {
    struct Case {
        int code;
        const char *name;  // expected name after the call
        const char *panel; // expected panel 2
    };
    // Run in order: an unknown code keeps the name set before it.
    const Case cases[] = {
        {0, "7302", "仪表型号: 7302"},         {1, "7302B", "仪表型号: 7302B"},
        {2, "7303", "仪表型号: 7303"},         {3, "7304", "仪表型号: 7304"},
        {4, "7303A", "仪表型号: 7303A"},       {5, "7304A", "仪表型号: 7304A"},
        {7, "ZORA900A", "仪表型号: ZORA900A"}, {8, "ZORA900X", "仪表型号: ZORA900X"},
        {6, "QM520V", "仪表型号: QM520V"},     {9, "QM520V", "仪表型号: QM520V"},
        {255, "QM520V", "仪表型号: QM520V"},   {-1, "QM520V", "仪表型号: QM520V"},
    };
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    for (const Case &c : cases) {
        MeterModel(form, c.code);
        EXPECT_EQ(form.v.MeterModelCode, c.code) << c.code;
        EXPECT_EQ(form.v.MeterModelName, c.name) << c.code;
        EXPECT_EQ(form.el.panel[1].text(), c.panel) << c.code;
    }
}

TEST(MeterIdentity, ModelNamesRoundTrip) {
    for (int code = 0; code <= 8; ++code)
        EXPECT_EQ(modelCode(modelName(code)), code);
    EXPECT_EQ(modelName(9), nullptr);
    EXPECT_EQ(modelName(-1), nullptr);
    EXPECT_EQ(modelCode("QM520W"), -1);
    EXPECT_EQ(modelCode(""), -1);
}

TEST(MeterIdentity, WorkModesGivePanelTextAndName) {
    struct Case {
        int code;
        const char *panel;
        const char *name; // WorkModeName afterwards
    };
    const Case cases[] = {
        {0, "工作模式: DMM", " DMM sample"},
        {1, "工作模式: DMM mem", " DMM database"},
        {2, "工作模式: DMM mem", " DMM database"},
        {3, "工作模式: DSO", " DSO sample "},
        {4, "工作模式: DSO mem", " DSO database No. "},
        {5, "工作模式: DSO mem", " DSO database No. "},
        {6, "", " DSO database No. "}, // outside the table: name unchanged
        {255, "", " DSO database No. "},
        {0, "工作模式: DMM", " DMM sample"},
        {-3, "", " DMM sample"},
    };
    platform::fakes::FakePlatform fp;
    common::Form form(fp.platform);
    for (const Case &c : cases) {
        EXPECT_EQ(MeterWorkMode(form, c.code), c.panel) << c.code;
        EXPECT_EQ(form.v.WorkModeName, c.name) << c.code;
    }
}

} // namespace
} // namespace qv::dmm
