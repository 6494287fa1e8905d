#include "runtime/result_definition.h"

#include <gtest/gtest.h>

namespace {

TEST(ResultDefinition, DefaultsAndTimeSelection) {
    ResultDefinition d;
    EXPECT_EQ(d.selectionMode, 1);
    EXPECT_EQ(d.hostPair[0], 2);
    EXPECT_TRUE(d.boolA && d.boolB);
    d.SetSetIndex(4);
    d.SetTime(2.5);
    EXPECT_EQ(d.timeValue, 2.5);
    EXPECT_EQ(d.GetSetIndex(), 0);
    EXPECT_EQ(d.selectionMode, 2);
}

TEST(ResultDefinition, CategoryTableAtItsEdges) {
    const std::pair<int, int> known[] = {
        {1, 5},    {12, 5},   {13, 2},   {24, 2},   {25, 0},   {28, 0},   {29, 5},   {31, 5},   {47, 14},
        {48, 1},   {50, 7},   {53, 7},   {54, 3},   {59, 3},   {60, 5},   {66, 5},   {78, 2},   {79, 27},
        {82, 27},  {84, 4},   {96, 12},  {99, 12},  {109, 34}, {113, 34}, {116, 15}, {120, 5},  {123, 5},
        {141, 51}, {153, 48}, {167, 56}, {172, 57}, {173, 60}, {185, 42}, {192, 59}, {193, 58}, {49, 6},
        {68, 9},   {69, 21},  {70, 22},  {71, 24},  {72, 23},  {73, 8},   {74, 5},   {75, 0},   {77, 5},
        {85, 29},  {86, 30},  {87, 31},  {88, 10},  {91, 10},  {92, 11},  {95, 11},  {114, 13}, {117, 16},
        {118, 38}, {124, 39}, {127, 39}, {128, 40}, {130, 40}, {131, 41}, {133, 41}, {134, 43}, {135, 44},
        {136, 45}, {137, 46}, {138, 47}, {144, 51}, {145, 50}, {148, 50}, {149, 49}, {152, 49}, {154, 52},
        {169, 56}, {170, 57}};
    for (auto [type, category] : known) {
        int c = -1;
        EXPECT_EQ(ResultDefinition::GetCategoryOfType(type, c), S_OK) << type;
        EXPECT_EQ(c, category) << type;
    }
    for (int type :
         {0, -3, 67, 76, 83, 100, 108, 115, 119, 139, 140, 155, 166, 174, 184, 186, 191, 194, 200, 32, 46}) {
        int c = -1;
        EXPECT_EQ(ResultDefinition::GetCategoryOfType(type, c), E_FAIL) << type;
        EXPECT_EQ(c, -1) << type;
    }
}

TEST(ResultDefinition, SetResultTypeStoresCategoriesOnlyWhenKnown) {
    ResultDefinition d;
    d.SetResultType(48);
    EXPECT_EQ(d.category, 1);
    EXPECT_EQ(d.secondCategory, 1);
    d.SetResultType(200);
    EXPECT_EQ(d.resultType, 200);
    EXPECT_EQ(d.category, 1);
    ResultDefinition fresh;
    fresh.SetResultType(200);
    EXPECT_EQ(fresh.category, 0);
}

TEST(ResultDefinition, ReadFlagFalseOnlyForDerivedCategories) {
    ResultDefinition d;
    for (int c : {15, 16, 38, 42, 43, 44, 45, 46, 52, 58}) {
        d.category = c;
        EXPECT_FALSE(d.GetReadFlag()) << c;
    }
    for (int c : {0, 14, 17, 39, 47, 51, 53, 57, 59, 60, 75}) {
        d.category = c;
        EXPECT_TRUE(d.GetReadFlag()) << c;
    }
}

}  // namespace
