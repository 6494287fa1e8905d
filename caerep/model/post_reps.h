// The post-processing side: results, result charts, the fatigue tool with its inputs, result probes and
// trackers, and solution combinations.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/host_ports.h"
#include "caerep/core/result_def_record.h"
#include "platform/com.h"

namespace NCAERep {


class CResultRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ResultRep";
    explicit CResultRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    // The result definitions of the "ResultDef" elements, in document order.
    std::vector<ResultDefRecord>& getResultDefs() { return m_resultDefs; }
    const std::vector<ResultDefRecord>& getResultDefs() const { return m_resultDefs; }
    bool save(pugi::xml_node element) const override;
    bool resume(pugi::xml_node element) override;

private:
    std::vector<ResultDefRecord> m_resultDefs;

public:
};


class CResultChart : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ResultChart";
    explicit CResultChart(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_ChartType, m_MinX, m_MaxX, m_MinY, m_MaxY, m_NumX, m_NumY, m_XVals, m_YVals, m_ZVals, m_YValImg;
};


class CFatigueResultInput : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"FatigueResultInput";
    explicit CFatigueResultInput(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    bool save(pugi::xml_node element) const override;
    bool resume(pugi::xml_node element) override;
    ResultDefRecord& getResultDef() { return m_resultDef; }
    const ResultDefRecord& getResultDef() const { return m_resultDef; }

private:
    ResultDefRecord m_resultDef;  // constructed before the property values, destroyed after them

public:

    CPropertyValue m_ResultId, m_DesignLife, m_ResultType, m_ResultSubType, m_LowerBound, m_UpperBound, m_NumPoints, m_GetAvgBiax;
};


class CFatigueToolInput : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"FatigueToolInput";
    explicit CFatigueToolInput(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_EnduranceFactor, m_FatigueLoadType, m_ScaleFactor, m_AnalysisType, m_FatigueInputType, m_IsLoadingConstAmp, m_StressComponent, m_LifeConversionFactor;
};


class CFatigueTool : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"FatigueTool";
    explicit CFatigueTool(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void createChildren() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
    // Fixed children (owned by the database).
    CCAERepBase* m_childFatigueToolInput = nullptr;
};


class CFatigueRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"FatigueRep";
    explicit CFatigueRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
};


class CResultProbe : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ResultProbe";
    explicit CResultProbe(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
};


class CResultTracker : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"ResultTracker";
    explicit CResultTracker(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }
};


class CSolutionCombinationRep : public CCAERepBase {
public:
    static constexpr const wchar_t* kTypeName = L"SolutionCombinationRep";
    explicit CSolutionCombinationRep(const CIdentity& identity) : CCAERepBase(identity) {}
    void initialize() override;
    void registerProperties() override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    CPropertyValue m_Filenames, m_Units, m_Times, m_ScaleFactors, m_EnvironmentIDs;
};

}  // namespace NCAERep
