#include "common/DrawingTarget.h"

#include <gtest/gtest.h>

namespace qv::common {
namespace {

TEST(DrawingTarget, PrintMovesToNextLineAtTheLeftEdge) {
    DrawingTarget t;
    t.setOrigin(-1000, -1000);
    t.setCurrentX(0);
    t.setCurrentY(50);
    t.print({"t: ", 5.0, "us/div"});
    ASSERT_EQ(t.ops().size(), 2u);
    const auto &text = std::get<TextOp>(t.ops()[1]);
    EXPECT_EQ(text.text, "t:  5 us/div");
    EXPECT_EQ(text.x, 0);
    EXPECT_EQ(text.y, 50);
    EXPECT_EQ(t.currentX(), -1000);
    EXPECT_GT(t.currentY(), 50);
}

TEST(DrawingTarget, ClearStartsANewListAndLinesFollowTheCurrentPoint) {
    DrawingTarget t;
    t.line(0, 0, 10, 10);
    t.lineTo(20, 5, kRed);
    const auto generation = t.generation();
    ASSERT_EQ(t.ops().size(), 3u);
    const auto &second = std::get<LineOp>(t.ops()[2]);
    EXPECT_EQ(second.x1, 10);
    EXPECT_EQ(second.y1, 10);
    EXPECT_EQ(second.color, kRed);
    t.clear();
    EXPECT_EQ(t.ops().size(), 1u);
    EXPECT_TRUE(std::holds_alternative<ClearOp>(t.ops()[0]));
    EXPECT_EQ(t.generation(), generation + 1);
}


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
