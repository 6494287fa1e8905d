// Defaults of the result-chart, fatigue-input and solution-combination properties; the fatigue tool's child.
#include "caerep/model/post_reps.h"

namespace NCAERep {

void CResultChart::registerProperties() {
    setRegistered();
    registerProperty(L"ChartType", L"NOPLOT", m_ChartType);
    registerProperty(L"MinX", L"NoDimension", 0.0, L"NoUnit", m_MinX);
    registerProperty(L"MaxX", L"NoDimension", 0.0, L"NoUnit", m_MaxX);
    registerProperty(L"MinY", L"NoDimension", 0.0, L"NoUnit", m_MinY);
    registerProperty(L"MaxY", L"NoDimension", 0.0, L"NoUnit", m_MaxY);
    registerProperty(L"NumX", 0, m_NumX);
    registerProperty(L"NumY", 0, m_NumY);
    registerProperty(L"XVals", L"NoDimension", std::vector<double>(1, 0.0), L"NoUnit", m_XVals);
    registerProperty(L"YVals", L"NoDimension", std::vector<double>(1, 0.0), L"NoUnit", m_YVals);
    registerProperty(L"ZVals", L"NoDimension", std::vector<double>(1, 0.0), L"NoUnit", m_ZVals);
    registerProperty(L"YValImg", L"NoDimension", std::vector<double>(1, 0.0), L"NoUnit", m_YValImg);
}

void CFatigueResultInput::registerProperties() {
    setRegistered();
    registerProperty(L"ResultId", 0u, m_ResultId);
    registerProperty(L"DesignLife", L"NoDimension", 0.0, L"NoUnit", m_DesignLife);
    registerProperty(L"ResultType", L"LIFE FATIGUE STRESS TOOL", m_ResultType);
    registerProperty(L"ResultSubType", L"LIFE FATIGUE STRESS TOOL", m_ResultSubType);
    registerProperty(L"LowerBound", 0, m_LowerBound);
    registerProperty(L"UpperBound", 0, m_UpperBound);
    registerProperty(L"NumPoints", 0, m_NumPoints);
    registerProperty(L"GetAvgBiax", true, m_GetAvgBiax);
}

void CFatigueToolInput::registerProperties() {
    setRegistered();
    registerProperty(L"EnduranceFactor", L"NoDimension", 0.0, L"NoUnit", m_EnduranceFactor);
    registerProperty(L"FatigueLoadType", L"FullyReversed", m_FatigueLoadType);
    registerProperty(L"ScaleFactor", L"NoDimension", 1.0, L"NoUnit", m_ScaleFactor);
    registerProperty(L"AnalysisType", 0, m_AnalysisType);
    registerProperty(L"FatigueInputType", L"LocalLinear", m_FatigueInputType);
    registerProperty(L"IsLoadingConstAmp", false, m_IsLoadingConstAmp);
    registerProperty(L"StressComponent", 6, m_StressComponent);
    registerProperty(L"LifeConversionFactor", L"NoDimension", 1.0, L"NoUnit", m_LifeConversionFactor);
}

void CFatigueTool::createChildren() {
    m_childFatigueToolInput = createChild(L"FatigueToolInput", L"FatigueToolInput");
}

void CSolutionCombinationRep::registerProperties() {
    setRegistered();
    registerProperty(L"Filenames", std::vector<std::wstring>{}, m_Filenames);
    registerProperty(L"Units", std::vector<int>{}, m_Units);
    registerProperty(L"Times", L"Time", std::vector<double>(0, 0.0), L"s", m_Times);
    registerProperty(L"ScaleFactors", L"NoDimension", std::vector<double>(0, 0.0), L"NoUnit", m_ScaleFactors);
    registerProperty(L"EnvironmentIDs", std::vector<int>{}, m_EnvironmentIDs);
}

}  // namespace NCAERep
