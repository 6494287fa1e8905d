// Result definitions: defaults, selection by time, the category each result type gives, the read flag.
#include "runtime/result_definition.h"

#include <gtest/gtest.h>

#include <set>

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

// What the category table makes a definition do, type by type: a type with a category gives it
// to both category fields, and only types from 1 to 193 have one; a type without one leaves the
// fields, and the caller's value, as they were. Every category the host derives itself (read
// flag false) is the category of some result type.
TEST(ResultDefinition, ATypeGivesItsCategoryToTheDefinition) {
    std::set<int> categories;
    for (int type = -2; type <= 200; ++type) {
        SCOPED_TRACE(type);
        int category = -1;
        const HRESULT hr = ResultDefinition::GetCategoryOfType(type, category);
        ResultDefinition d;
        d.SetResultType(type);
        EXPECT_EQ(d.resultType, type);
        if (FAILED(hr)) {
            EXPECT_EQ(hr, E_FAIL);
            EXPECT_EQ(category, -1);
            EXPECT_EQ(d.category, 0);
            EXPECT_EQ(d.secondCategory, 0);
            continue;
        }
        EXPECT_EQ(hr, S_OK);
        EXPECT_GE(type, 1);
        EXPECT_LE(type, 193);
        EXPECT_GE(category, 0);
        EXPECT_EQ(d.category, category);
        EXPECT_EQ(d.secondCategory, category);
        categories.insert(category);
    }
    ASSERT_FALSE(categories.empty());
    ResultDefinition d;
    for (d.category = 0; d.category <= *categories.rbegin() + 1; ++d.category) {
        if (!d.GetReadFlag()) {
            EXPECT_EQ(categories.count(d.category), 1u) << d.category;
        }
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
