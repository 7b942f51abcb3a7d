#include "common/DrawingTarget.h"

#include <gtest/gtest.h>

namespace qv::common {
namespace {

TEST(DrawingTarget, PrintsRunningPastThePageBottomGoOnOnANewPage) {
    DrawingTarget t;
    t.setOrigin(-1000, -1000);
    std::vector<DisplayList> full;
    t.setPageHeight(16000, [&full](const DisplayList &page) { full.push_back(page); });
    t.setCurrentY(50);
    for (int i = 0; i < 200; ++i)
        t.print("line " + std::to_string(i));
    full.push_back(t.ops());
    EXPECT_GT(full.size(), 2u);
    int next = 0;
    for (const DisplayList &page : full)
        for (const DrawOp &op : page)
            if (const auto *text = std::get_if<TextOp>(&op)) {
                EXPECT_EQ(text->text, "line " + std::to_string(next++)) << "in order, none lost";
                EXPECT_LE(text->y, 15000);
            }
    EXPECT_EQ(next, 200);
}

} // namespace
} // namespace qv::common
