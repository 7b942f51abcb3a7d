#include "dso/ScaleTables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qv::dso {
namespace {

TEST(ScaleTables, GainEntries) {
    const ScaleTables t;
    const struct {
        double gain, model, value;
        const char *unit;
    } cases[] = {
        {0, 0, 400, "V"},         {11, 3, 0.1, "V"}, {12, 7, 40, "mV"},
        {14, 2, 10, "mV"},        {0, 4, 200, "V"},  {10, 8, 0.1, "V"},
        {11, 5, 50, "mV"},        {14, 6, 5, "mV"},  {15, 0, 0, ""},
        {15, 8, 0, ""},           {3, 9, 0, ""},     {3, 20, 0, ""},
        {3, 21, 0, ""},           {3, 255, 0, ""},   {3, -1, 0, ""},
        {-1, 3, 0, ""},           {8.5, 3, 1, "V"},  {9.5, 3, 0.2, "V"},
        {std::nan(""), 3, 0, ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t.GainTable(c.gain, c.model), c.value) << c.gain << "," << c.model;
        EXPECT_EQ(t.GainUnit(c.gain, c.model), c.unit) << c.gain << "," << c.model;
    }
}

TEST(ScaleTables, TimeBaseEntries) {
    const ScaleTables t;
    const struct {
        double index, model, value;
        const char *unit;
    } cases[] = {
        {0, 0, 20, "s"},    {7, 5, 0.1, "s"},   {8, 1, 50, "ms"},   {16, 2, 0.1, "ms"},
        {17, 3, 50, "us"},  {20, 8, 5, "us"},   {21, 0, 2.5, "us"}, {22, 0, 1.25, "us"},
        {23, 0, 0.5, "us"}, {24, 0, 1, "us"},   {25, 0, 0, "us"},   {24, 1, 0.25, "us"},
        {25, 1, 0, "us"},   {25, 2, 0.1, "us"}, {26, 2, 0, "ns"},   {22, 3, 0.8, "us"},
        {26, 3, 50, "ns"},  {25, 4, 0.1, "us"}, {26, 4, 0, "ns"},   {26, 5, 50, "ns"},
        {24, 7, 0.2, "us"}, {25, 7, 0, "us"},   {26, 8, 50, "ns"},  {27, 3, 0, ""},
        {30, 3, 0, ""},     {31, 3, 0, ""},     {10, 9, 0, "ms"},   {-0.5, 3, 20, "s"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t.TimeBaseTable(c.index, c.model), c.value) << c.index << "," << c.model;
        EXPECT_EQ(t.TimeBaseUnit(c.index), c.unit) << c.index;
    }
}

TEST(ScaleTables, SharedColumnsTopsAndFrequencyUnits) {
    const ScaleTables t;
    for (int i = 0; i <= 30; ++i)
        EXPECT_EQ(t.TimeBaseTable(i, 6), t.TimeBaseTable(i, 8)) << i;
    for (int g = 0; g <= 15; ++g) {
        EXPECT_EQ(t.GainTable(g, 6), t.GainTable(g, 8)) << g;
        EXPECT_EQ(t.GainTable(g, 7), t.GainTable(g, 0)) << g;
        EXPECT_EQ(t.GainUnit(g, 7), t.GainUnit(g, 3)) << g;
    }
    const int tops[] = {23, 24, 23, 26, 25, 26, 26, 24, 26, 0, 0};
    for (int m = 0; m <= 10; ++m)
        EXPECT_EQ(t.TimeBaseTop(m), tops[m]) << m;
    EXPECT_EQ(t.TimeBaseTop(300), 0);
    const char *units[] = {"mHz", "Hz ", "kHz", "MHz", "", ""};
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(t.FreqUnit(i), units[i]) << i;
    EXPECT_EQ(t.FreqUnit(-1), "");
}

TEST(ScaleTables, FrequencyScale) {
    const ScaleTables t;
    const struct {
        double index, model, perDiv;
        int base;
    } cases[] = {{7, 3, 0.1, 1},  {8, 3, 50, 2},    {16, 3, 0.1, 2}, {17, 3, 50, 3},
                 {25, 3, 0.1, 3}, {26, 3, 0.05, 3}, {26, 0, 0, 3},   {0, 9, 0, 1}};
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(t.timePerDivForFrequency(c.index, c.model), c.perDiv) << c.index;
        EXPECT_EQ(ScaleTables::frequencyBaseUnit(c.index), c.base) << c.index;
    }
}

} // namespace
} // namespace qv::dso
