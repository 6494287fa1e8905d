// Description of one result object the host reads after a solve (which quantity, at which time
// or set, in which frame). The unnamed fields belong to the host's result model and are carried
// and copied as they are.
#pragma once

#include "foundation/geometry.h"
#include "platform/com.h"

class ResultDefinition {
  public:
    // Selection modes of a definition.
    static constexpr int kSelectDefault = 1;
    static constexpr int kSelectByTime = 2;

    ResultDefinition() = default;
    ResultDefinition(const ResultDefinition&) = default;
    ResultDefinition& operator=(const ResultDefinition&) = default;
    virtual ~ResultDefinition() = default;

    // Selects the results at time t rather than by set index.
    void SetTime(double t);
    // Stores the type, and its category in both category fields when the type has one.
    void SetResultType(int type);
    // S_OK with the host's category of a result type; E_FAIL for a type without one.
    [[nodiscard]] static HRESULT GetCategoryOfType(int type, int& category);
    // Whether the host's reader reads results of the category; false for categories whose
    // results the host derives itself.
    bool GetReadFlag() const;

    double value = 0.0;
    int id = 0;
    double auxValue = 0.0;
    // Values of the host's result model this system carries but never reads.
    int hostPair[2] = {2, 0};
    unsigned char byteFlag = 0;
    bool boolA = true;
    bool boolB = true;
    int category = 0;
    int hostTriple[3] = {2, 0, 0};
    // Three more of the host's values, then the set index (GetSetIndex).
    int hostValuesAndSetIndex[4] = {0, 0, 0, 0};
    double timeValue = 0.0;
    int secondCategory = 0;
    int selectionMode = kSelectDefault;
    CoordSystemSafe frame;
    int resultType = 0;

    int GetSetIndex() const { return hostValuesAndSetIndex[3]; }
    void SetSetIndex(int index) { hostValuesAndSetIndex[3] = index; }
};
