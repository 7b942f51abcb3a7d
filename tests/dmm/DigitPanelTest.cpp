#include "DmmRig.h"

#include <gtest/gtest.h>

namespace qv::dmm::test {
namespace {

TEST(DigitPanel, ValueAndUnitGeometry) {
    struct Case {
        const char *reading;
        const char *value;
        const char *unit; // empty: nothing printed, the position still goes to x = 3000
        double unitX;
    };
    const Case cases[] = {
        {" 1.234V         ", " 1.234", "V", 2850},
        {"-0.012mV  AC DC ", "-0.012", "mV  AC DC", 1650},
        {"  OL  ABCDEFGHIJ", "  OL  ", "ABCDEFGHIJ", 1500},
        {"12.345          ", "12.345", "", 3000},
        {"12", "12", "", 3000},
        {"", "", "", 3000},
    };
    for (const Case &c : cases) {
        DmmRig rig;
        rig.form.v.DMMReading = c.reading;
        rig.panel.Display_DMMReading();
        const auto &ops = rig.form.el.Picture2.ops();
        ASSERT_FALSE(ops.empty());
        EXPECT_TRUE(std::holds_alternative<common::ClearOp>(ops.front())) << c.reading;
        const auto texts = rig.panelTexts();
        std::vector<common::TextOp> expected;
        if (*c.value)
            expected.push_back({300, 40, c.value, common::kCyan, "", 43});
        if (*c.unit)
            expected.push_back({c.unitX, 940, c.unit, common::kCyan, "", 12});
        ASSERT_EQ(texts.size(), expected.size()) << c.reading;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].x, expected[i].x) << c.reading;
            EXPECT_EQ(texts[i].y, expected[i].y) << c.reading;
            EXPECT_EQ(texts[i].text, expected[i].text) << c.reading;
            EXPECT_EQ(texts[i].sizePt, expected[i].sizePt) << c.reading;
            EXPECT_EQ(texts[i].color, expected[i].color) << c.reading;
        }
        if (!*c.unit) {
            EXPECT_EQ(rig.form.el.Picture2.currentX(), 3000) << c.reading;
            EXPECT_EQ(rig.form.el.Picture2.currentY(), 940) << c.reading;
        }
    }
}

TEST(DigitPanel, StoppedAcquisitionKeepsTheLastReading) {
    DmmRig rig;
    rig.send(" 1.234 V        ", 0);
    const auto before = rig.form.el.Picture2.ops();
    const auto generation = rig.form.el.Picture2.generation();
    rig.form.el.mnuStart.setChecked(false);
    rig.send(" 9.999 V        ", 0);
    EXPECT_EQ(rig.form.v.DMMReading, " 9.999 V        ");
    EXPECT_EQ(rig.form.el.Picture2.generation(), generation);
    EXPECT_EQ(rig.form.el.Picture2.ops().size(), before.size());
    EXPECT_EQ(rig.panelTexts().front().text, " 1.234");
}

} // namespace
} // namespace qv::dmm::test
