// XML blocks of the solver-file controls, the harmonic controls and the modal controls.
#include <limits>

#include "settings/harmonic_controls.h"
#include "settings/modal_controls.h"
#include "settings/settings_xml.h"
#include "settings/solver_file_controls.h"
#include "settings/xml_read_log.h"
#include "settings/xml_values.h"

using namespace settings_xml;

namespace {

constexpr int kSolverFileControlsVersion = 1;
constexpr int kHarmonicControlsVersion = 1;
constexpr int kModalControlsVersion = 3;

struct FutureAnalysisWord {
    unsigned type;
    const wchar_t* word;
    const char* xpath;
};
constexpr FutureAnalysisWord kFutureAnalysisWords[] = {
    {kSaveFilesForPsd, L"SaveFilesForPSD",
     "./SolverFileControls[FutureAnalysisType=\"SaveFilesForPSD\"]/FutureAnalysisType"},
    {kSaveFilesForHarmonicAnalysis, L"SaveFilesForHarmonicAnalysis",
     "./SolverFileControls[FutureAnalysisType=\"SaveFilesForHarmonicAnalysis\"]/FutureAnalysisType"},
    {kSaveFilesForTransientAnalysis, L"SaveFilesForTransientAnalysis",
     "./SolverFileControls[FutureAnalysisType=\"SaveFilesForTransientAnalysis\"]/FutureAnalysisType"},
    {kSaveFilesForPrestressedModalAnalysis, L"SaveFilesForPrestressedModalAnalysis",
     "./SolverFileControls[FutureAnalysisType=\"SaveFilesForPrestressedModalAnalysis\"]/FutureAnalysisType"},
    {kSaveRestartFiles, L"SaveRestartFiles",
     "./SolverFileControls[FutureAnalysisType=\"SaveRestartFiles\"]/FutureAnalysisType"},
};

void AppendFrequencyBounds(XmlNode parent, double minimum, double maximum) {
    (void)XmlSetAttribute(parent, L"unit", L"Hz");  // see settings/xml_values.h, writing
    AppendDouble(parent, L"Minimum", minimum);
    AppendDouble(parent, L"Maximum", maximum);
}

[[nodiscard]] HRESULT ReadModeSuperposition(DorvixHarmonicControls& r, XmlNode root) {
    bool flag = false;
    if (FAILED(ReadBool(root, "./HarmonicControls/HarmonicMethod/ModeSuperposition/Clustering", flag)))
        return E_FAIL;
    r.SetClustering(flag);
    std::int32_t count = 0;
    if (flag) {
        if (FAILED(ReadInt(root, "./HarmonicControls/ForcingFrequency/ClusterNumber", count))) return E_FAIL;
        r.SetClusterNumber(count);
    } else {
        if (FAILED(ReadInt(root, "./HarmonicControls/ForcingFrequency/Intervals", count))) return E_FAIL;
        r.SetIntervals(count);
    }
    if (FAILED(ReadBool(
            root, "./HarmonicControls/HarmonicMethod/ModeSuperposition/StoreResultsAtAllFrequencies", flag)))
        return E_FAIL;
    r.SetStoreResultsAtAllFrequencies(flag ? 0 : 1);
    int range = 0;
    if (FAILED(FirstMatch(
            root,
            {{"./HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange/ProgramControlled",
              kModalRangeProgramControlled},
             {"./HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange/ManualRange",
              kModalRangeManual}},
            range)))
        return XmlReadLog::Note(root,
                                "./HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange",
                                L"holds neither ProgramControlled nor ManualRange");
    r.SetModalFrequencyRange(range);
    if (range != kModalRangeManual) return S_OK;
    double minimum = 0.0, maximum = 0.0;
    std::uint32_t intervals = 0;
    if (FAILED(ReadDouble(
            root,
            "./HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange/ManualRange/Minimum",
            minimum)) ||
        FAILED(ReadDouble(
            root,
            "./HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange/ManualRange/Maximum",
            maximum)) ||
        FAILED(ReadUInt(
            root,
            "./HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange/ManualRange/Intervals",
            intervals)))
        return E_FAIL;
    r.SetManualRangeMinimum(minimum);
    r.SetManualRangeMaximum(maximum);
    r.SetManualRangeIntervals(intervals);
    return S_OK;
}

}  // namespace

HRESULT WriteSolverFileControlsXml(const DorvixSolverFileControls& r, XmlNode root) {
    XmlNode block = AppendBlock(root, L"SolverFileControls", kSolverFileControlsVersion);
    for (const FutureAnalysisWord& future : kFutureAnalysisWords)
        if (future.type == r.GetFutureAnalysisType()) AppendText(block, L"FutureAnalysisType", future.word);
    AppendInt(block, L"SolverUnits", static_cast<std::int16_t>(r.GetSolverUnits()));
    AppendText(block, L"SolverFilesDirectory", r.GetSolverFilesDirectory());
    AppendText(block, L"AdditionalList", r.GetAdditionalList());
    AppendBool(block, L"SaveDorvixDB", r.GetSaveDorvixDB());
    AppendBool(block, L"DeleteUnusedFiles", r.GetDeleteUnusedFiles());
    AppendText(block, L"ResultFile", r.GetResultFile());
    return S_OK;
}

HRESULT ReadSolverFileControlsXml(DorvixSolverFileControls& record, XmlNode root) {
    DorvixSolverFileControls r = record;
    r.SetFutureAnalysisType(kNoFutureAnalysis);
    if (Has(root, "./SolverFileControls/FutureAnalysisType")) {
        bool known = false;
        for (const FutureAnalysisWord& future : kFutureAnalysisWords) {
            if (!Has(root, future.xpath)) continue;
            r.SetFutureAnalysisType(future.type);
            known = true;
            break;
        }
        // A later analysis this system does not offer is read as none.
        if (!known)
            (void)XmlReadLog::Note(root, "./SolverFileControls/FutureAnalysisType",
                                   L"no known analysis, none kept");
    }
    std::int32_t units = 0;
    if (FAILED(ReadInt(root, "./SolverFileControls/SolverUnits", units))) return E_FAIL;
    if (units < std::numeric_limits<std::int16_t>::min() || units > std::numeric_limits<std::uint16_t>::max())
        return XmlReadLog::Note(root, "./SolverFileControls/SolverUnits", L"outside -32768..65535");
    r.SetSolverUnits(static_cast<std::uint16_t>(units));
    std::wstring text;
    if (FAILED(ReadText(root, "./SolverFileControls/SolverFilesDirectory", text))) return E_FAIL;
    r.SetSolverFilesDirectory(text);
    if (FAILED(ReadText(root, "./SolverFileControls/AdditionalList", text))) return E_FAIL;
    r.SetAdditionalList(text);
    bool flag = false;
    if (FAILED(ReadBool(root, "./SolverFileControls/SaveDorvixDB", flag))) return E_FAIL;
    r.SetSaveDorvixDB(flag);
    if (FAILED(ReadBool(root, "./SolverFileControls/DeleteUnusedFiles", flag))) return E_FAIL;
    r.SetDeleteUnusedFiles(flag);
    if (FAILED(ReadText(root, "./SolverFileControls/ResultFile", text))) return E_FAIL;
    r.SetResultFile(text);
    record = std::move(r);
    return S_OK;
}

HRESULT WriteHarmonicControlsXml(const DorvixHarmonicControls& r, XmlNode root) {
    XmlNode block = AppendBlock(root, L"HarmonicControls", kHarmonicControlsVersion);
    XmlNode forcing = Append(block, L"ForcingFrequency");
    AppendFrequencyBounds(forcing, r.GetForcingFrequencyMinimum(), r.GetForcingFrequencyMaximum());
    AppendBool(block, L"ForcingFrequencyStepped", r.GetForcingFrequencyStepped());
    XmlNode method = Append(block, L"HarmonicMethod");
    if (r.GetHarmonicMethod() == kModeSuperposition) {
        XmlNode superposition = Append(method, L"ModeSuperposition");
        AppendBool(superposition, L"Clustering", r.GetClustering());
        if (r.GetClustering())
            AppendInt(forcing, L"ClusterNumber", r.GetClusterNumber());
        else
            AppendInt(forcing, L"Intervals", r.GetIntervals());
        AppendBool(superposition, L"StoreResultsAtAllFrequencies", r.GetStoreResultsAtAllFrequencies() == 0);
        XmlNode range = Append(superposition, L"ModalFrequencyRange");
        if (r.GetModalFrequencyRange() == kModalRangeProgramControlled) {
            Append(range, L"ProgramControlled");
        } else {
            XmlNode manual = Append(range, L"ManualRange");
            AppendFrequencyBounds(manual, r.GetManualRangeMinimum(), r.GetManualRangeMaximum());
            AppendInt(manual, L"Intervals", r.GetManualRangeIntervals());
        }
    } else if (r.GetHarmonicMethod() == kFullMethod) {
        Append(method, L"Full");
        AppendInt(forcing, L"Intervals", r.GetIntervals());
    }
    return S_OK;
}

HRESULT ReadHarmonicControlsXml(DorvixHarmonicControls& record, XmlNode root) {
    DorvixHarmonicControls r = record;
    double minimum = 0.0, maximum = 0.0;
    if (FAILED(ReadDouble(root, "./HarmonicControls/ForcingFrequency/Minimum", minimum)) ||
        FAILED(ReadDouble(root, "./HarmonicControls/ForcingFrequency/Maximum", maximum)))
        return E_FAIL;
    r.SetForcingFrequencyMinimum(minimum);
    r.SetForcingFrequencyMaximum(maximum);
    bool stepped = false;
    if (FAILED(ReadBool(root, "./HarmonicControls/ForcingFrequencyStepped", stepped))) return E_FAIL;
    r.SetForcingFrequencyStepped(stepped);
    int method = 0;
    if (FAILED(FirstMatch(root,
                          {{"./HarmonicControls/HarmonicMethod/ModeSuperposition", kModeSuperposition},
                           {"./HarmonicControls/HarmonicMethod/Full", kFullMethod}},
                          method)))
        return XmlReadLog::Note(root, "./HarmonicControls/HarmonicMethod",
                                Has(root, "./HarmonicControls/HarmonicMethod")
                                    ? L"neither ModeSuperposition nor Full"
                                    : L"missing");
    r.SetHarmonicMethod(method);
    if (method == kModeSuperposition) {
        if (FAILED(ReadModeSuperposition(r, root))) return E_FAIL;
    } else {
        std::int32_t intervals = 0;
        if (FAILED(ReadInt(root, "./HarmonicControls/ForcingFrequency/Intervals", intervals))) return E_FAIL;
        r.SetIntervals(intervals);
    }
    record = std::move(r);
    return S_OK;
}

HRESULT WriteModalControlsXml(const DorvixModalControls& r, XmlNode root) {
    XmlNode block = AppendBlock(root, L"ModalControls", kModalControlsVersion);
    AppendInt(block, L"NumberOfModesToFind", r.GetNumModesToFind());
    if (r.GetRangeSearch())
        AppendFrequencyBounds(Append(block, L"FrequencyRange"), r.GetMinFrequency(), r.GetMaxFrequency());
    AppendDouble(block, L"RefTemperature", r.GetStoredRefTemperature());
    AppendInt(block, L"HarmonicIndex", r.GetHarmonicIndex());
    return S_OK;
}

HRESULT ReadModalControlsXml(DorvixModalControls& record, XmlNode root) {
    DorvixModalControls r = record;
    std::int32_t modes = 0;
    if (FAILED(ReadInt(root, "./ModalControls/NumberOfModesToFind", modes))) return E_FAIL;
    r.StoreNumModesToFind(modes);
    const XmlNode range = Find(root, "./ModalControls/FrequencyRange");
    r.SetRangeSearch(range != XmlNode());
    if (range) {
        double minimum = 0.0, maximum = 0.0;
        if (FAILED(ReadDouble(range, "./Minimum", minimum)) ||
            FAILED(ReadDouble(range, "./Maximum", maximum)))
            return E_FAIL;
        r.StoreFrequencyRange(minimum, maximum);
    }
    double temperature = 0.0;
    if (FAILED(ReadDouble(root, "./ModalControls/RefTemperature", temperature))) return E_FAIL;
    r.StoreRefTemperature(temperature);
    std::uint32_t index = 0;
    if (FAILED(ReadUInt(root, "./ModalControls/HarmonicIndex", index))) return E_FAIL;
    r.SetHarmonicIndex(index);
    record = std::move(r);
    return S_OK;
}
