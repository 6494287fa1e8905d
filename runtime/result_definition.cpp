// The host's result types grouped into categories, the categories it leaves unread, and setting time or type.
#include "runtime/result_definition.h"

#include <iterator>

namespace {

struct CategoryRange {
    int first;
    int last;
    int category;
};

// The host's result types grouped into its result categories; types in no range have none.
constexpr CategoryRange kCategories[] = {
    {1, 12, 5},     {29, 31, 5},    {60, 66, 5},    {74, 74, 5},    {77, 77, 5},    {120, 123, 5},
    {13, 24, 2},    {78, 78, 2},    {25, 28, 0},    {75, 75, 0},    {47, 47, 14},   {48, 48, 1},
    {49, 49, 6},    {50, 53, 7},    {54, 59, 3},    {68, 68, 9},    {69, 69, 21},   {70, 70, 22},
    {71, 71, 24},   {72, 72, 23},   {73, 73, 8},    {79, 82, 27},   {84, 84, 4},    {85, 85, 29},
    {86, 86, 30},   {87, 87, 31},   {88, 91, 10},   {92, 95, 11},   {96, 99, 12},   {109, 113, 34},
    {114, 114, 13}, {116, 116, 15}, {117, 117, 16}, {118, 118, 38}, {124, 127, 39}, {128, 130, 40},
    {131, 133, 41}, {134, 134, 43}, {135, 135, 44}, {136, 136, 45}, {137, 137, 46}, {138, 138, 47},
    {141, 144, 51}, {145, 148, 50}, {149, 152, 49}, {153, 153, 48}, {154, 154, 52}, {167, 169, 56},
    {170, 172, 57}, {173, 173, 60}, {185, 185, 42}, {192, 192, 59}, {193, 193, 58},
};

constexpr int kUnreadCategories[] = {15, 16, 38, 42, 43, 44, 45, 46, 52, 58};

}  // namespace

void ResultDefinition::SetTime(double t) {
    timeValue = t;
    SetSetIndex(0);
    selectionMode = kSelectByTime;
}

void ResultDefinition::SetResultType(int type) {
    resultType = type;
    int c = 0;
    if (SUCCEEDED(GetCategoryOfType(type, c))) {
        category = c;
        secondCategory = c;
    }
}

HRESULT ResultDefinition::GetCategoryOfType(int type, int& out) {
    if (type < 1 || type > 193) return E_FAIL;
    for (const CategoryRange& r : kCategories) {
        if (type >= r.first && type <= r.last) {
            out = r.category;
            return S_OK;
        }
    }
    return E_FAIL;
}

bool ResultDefinition::GetReadFlag() const {
    for (int c : kUnreadCategories)
        if (c == category) return false;
    return true;
}
