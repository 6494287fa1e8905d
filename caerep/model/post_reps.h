// The post-processing side: results, result charts, the fatigue tool with its inputs, result probes and
// trackers, and solution combinations.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/model_rep.h"
#include "caerep/core/result_def_record.h"

namespace NCAERep {

class CResultRep : public CModelRep<CResultRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"ResultRep";
    explicit CResultRep(const CIdentity& identity) : CModelRep(identity) {}

    // The result definitions of the "ResultDef" elements, in document order.
    std::vector<ResultDefRecord>& getResultDefs() { return m_resultDefs; }
    const std::vector<ResultDefRecord>& getResultDefs() const { return m_resultDefs; }
    bool save(pugi::xml_node element) const override;
    bool resume(pugi::xml_node element) override;

  private:
    std::vector<ResultDefRecord> m_resultDefs;

  public:
};

class CResultChart : public CModelRep<CResultChart> {
  public:
    static constexpr const wchar_t* kTypeName = L"ResultChart";
    explicit CResultChart(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_ChartType, m_MinX, m_MaxX, m_MinY, m_MaxY, m_NumX, m_NumY, m_XVals, m_YVals, m_ZVals,
        m_YValImg;
};

class CFatigueResultInput : public CModelRep<CFatigueResultInput> {
  public:
    static constexpr const wchar_t* kTypeName = L"FatigueResultInput";
    explicit CFatigueResultInput(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    bool save(pugi::xml_node element) const override;
    bool resume(pugi::xml_node element) override;
    ResultDefRecord& getResultDef() { return m_resultDef; }
    const ResultDefRecord& getResultDef() const { return m_resultDef; }

  private:
    ResultDefRecord m_resultDef;  // constructed before the property values, destroyed after them

  public:
    CPropertyValue m_ResultId, m_DesignLife, m_ResultType, m_ResultSubType, m_LowerBound, m_UpperBound,
        m_NumPoints, m_GetAvgBiax;
};

class CFatigueToolInput : public CModelRep<CFatigueToolInput> {
  public:
    static constexpr const wchar_t* kTypeName = L"FatigueToolInput";
    explicit CFatigueToolInput(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_EnduranceFactor, m_FatigueLoadType, m_ScaleFactor, m_AnalysisType, m_FatigueInputType,
        m_IsLoadingConstAmp, m_StressComponent, m_LifeConversionFactor;
};

class CFatigueTool : public CModelRep<CFatigueTool> {
  public:
    static constexpr const wchar_t* kTypeName = L"FatigueTool";
    explicit CFatigueTool(const CIdentity& identity) : CModelRep(identity) {}
    void createChildren() override;
    // Fixed children (owned by the database).
    CCAERepBase* m_childFatigueToolInput = nullptr;
};

class CFatigueRep : public CModelRep<CFatigueRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"FatigueRep";
    explicit CFatigueRep(const CIdentity& identity) : CModelRep(identity) {}
};

class CResultProbe : public CModelRep<CResultProbe> {
  public:
    static constexpr const wchar_t* kTypeName = L"ResultProbe";
    explicit CResultProbe(const CIdentity& identity) : CModelRep(identity) {}
};

class CResultTracker : public CModelRep<CResultTracker> {
  public:
    static constexpr const wchar_t* kTypeName = L"ResultTracker";
    explicit CResultTracker(const CIdentity& identity) : CModelRep(identity) {}
};

class CSolutionCombinationRep : public CModelRep<CSolutionCombinationRep> {
  public:
    static constexpr const wchar_t* kTypeName = L"SolutionCombinationRep";
    explicit CSolutionCombinationRep(const CIdentity& identity) : CModelRep(identity) {}
    void registerProperties() override;

    CPropertyValue m_Filenames, m_Units, m_Times, m_ScaleFactors, m_EnvironmentIDs;
};

}  // namespace NCAERep
