// Pressures (host type 1) on element faces, on element edges in 2-D, or per element on the faces
// of a shell body ("MAI", where a pressure acts against the element's normal), varying in time
// or over one axis of the load's coordinate system.
#include <cmath>
#include <string>
#include <vector>

#include "deck/loads/load_writer_support.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_scoping.h"
#include "deck/mesh/mesh_wrapper.h"
#include "host/data_source.h"
#include "host/object_types.h"
#include "platform/text.h"

using namespace loadwriter;

namespace {

// History values smaller than this carry no load.
constexpr double kNoLoad = 1e-15;

enum class Placement { kFace, kEdge, kElement };

// The element faces of a load and where they lie.
struct FaceScope {
    std::vector<int> elements;
    std::vector<int> faces;
    Placement placement = Placement::kFace;

    const char* Header() const {
        return placement == Placement::kElement ? "PRESSION MAI"
               : placement == Placement::kEdge  ? "PRESSION ARETE"
                                                : "PRESSION FACE";
    }
};

}  // namespace

HRESULT DorvixFeeder::GetLoadScopingFaces(const ObjectTypeRecord& load, std::vector<int>& elementIds,
                                          std::vector<int>& faceNumbers) {
    const bool twoDimensional = bodyWrapper_ && bodyWrapper_->IsTwoDimensional();
    for (const JXReference& reference : load.GetReferences()) {
        if (twoDimensional && (reference.kind & kJXReferenceEdge) == 0) return E_FAIL;
        const HRESULT hr = GetScopingFaces(hostMesh_.Get(), reference, elementIds, faceNumbers);
        if (hr == kE_SolidElementEdge)
            (void)RefuseSolidElementEdge(L"Load \"" + platform::Utf8ToWide(load.GetName()) + L"\" (" +
                                             std::to_wstring(load.GetId()) + L")",
                                         reference);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

int DorvixFeeder::WritePressureLoads(int step) {
    const bool loadCases = UseLoadCases();
    const bool twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();
    return ForEachLoad(
        *this, step, LoadsOfType(*this, kLoadTypePressure), kRC_DataMismatch, [&](const TypedLoad& l) {
            const ObjectTypeRecord& record = *l.record;
            if (!IsLoadTypeApplicable(kLoadTypePressure, l.id) || !deckFile_) return int{kRC_Success};
            const ComPtr<IHostLoad> load = HostLoadOf(l.load);
            const ComPtr<IHostLoadVariable> magnitude = VariableOf(load.Get(), kLoadVariableMagnitude);
            if (!magnitude) return Refuse(*this, record, kRC_MissingData, L"it has no magnitude");
            const int independent = IndependentOf(magnitude.Get());
            StepFlags flags;
            if (!loadCases && GetLoadActiveSteps(l.load, flags) != S_OK)
                return Refuse(*this, record, kRC_DataMismatch, L"its activity per step cannot be read");

            FaceScope scope;
            if (const int code = ScopingFacesOrLeaveOut(*this, record, scope.elements, scope.faces);
                code != kRC_Success || scope.elements.empty())
                return code;
            if (twoDimensional)
                scope.placement = Placement::kEdge;
            else if (bodyWrapper_ && bodyWrapper_->GetBodyKindById(BodyIdOf(record)) == kBodySurface)
                scope.placement = Placement::kElement;
            const bool perElement = scope.placement == Placement::kElement;
            double endTime = 0.0;
            if (loadCases && GetStepEndTime(step, endTime) != kRC_Success)
                return Refuse(*this, record, kRC_DataMismatch, L"the step has no end time");
            LoadLine line;

            if (independent == kLoadIndependentTime) {
                int function = 0;
                double p = 0.0;
                if (!loadCases && CreateLoadFunction(magnitude.Get(), l.id, 1.0, &flags, function) != S_OK)
                    return Refuse(*this, record, kRC_DataMismatch, L"its function cannot be made");
                if (loadCases &&
                    (magnitude->GetValueAt(endTime, kLoadQuantityPressure, deckUnitSystem_, p) != S_OK ||
                     !std::isfinite(p)))
                    return Refuse(*this, record, kRC_DataMismatch, L"no finite pressure at the step's end");
                deckFile_->WriteLine(HeaderLine(scope.Header(), record));
                for (std::size_t k = 0; k < scope.elements.size(); ++k) {
                    line.Start("  I").Int(scope.elements[k]);
                    if (!perElement) line.Int(scope.faces[k]);
                    if (loadCases)
                        line.Text(" V").Value(perElement ? -p : p).Text(" NC").Int(step);
                    else
                        line.Text(perElement ? " V -1.0 NF" : " V 1.0 NF").Int(function).Text(" TIME");
                    deckFile_->WriteLine(line.Get());
                }
                return int{kRC_Success};
            }
            if (independent < kLoadIndependentX || independent > kLoadIndependentZ)
                return Refuse(*this, record, kRC_MissingData,
                              L"its magnitude is a function of neither time nor position");

            // Over an axis: the magnitude at every face centroid in one host call, times the time
            // factor of variable 10.
            const ComPtr<IHostLoadVariable> spatial = VariableOf(load.Get(), kLoadVariableSpatial);
            if (!spatial) return Refuse(*this, record, kRC_MissingData, L"it has no time factor");
            int frameId = 0;
            (void)load->GetCoordinateSystemId(frameId);
            CoordSystemSafe frame;
            if (meshWrapper_) {
                const auto& frames = meshWrapper_->GetCoordinateSystems();
                if (auto it = frames.find(frameId); it != frames.end()) frame = it->second;
            }
            std::vector<double> positions, values;
            if (!meshWrapper_ ||
                FAILED(meshWrapper_->GetTabularPressureFaceValues(
                    independent - kLoadIndependentX, scope.elements, scope.faces, frame, positions)) ||
                positions.size() != scope.elements.size() ||
                magnitude->EvaluateAtPositions(positions, kLoadQuantityPressure, deckUnitSystem_, values) !=
                    S_OK ||
                values.size() != positions.size() || !AllFinite(values))
                return Refuse(*this, record, kRC_DataMismatch, L"no finite pressure at its faces");

            if (loadCases) {
                double factor = 0.0;
                if (spatial->GetValueAt(endTime, kLoadQuantityTimeFactor, deckUnitSystem_, factor) != S_OK ||
                    !FiniteProducts(values, factor))
                    return Refuse(*this, record, kRC_DataMismatch,
                                  L"no finite time factor at the step's end");
                deckFile_->WriteLine(HeaderLine(scope.Header(), record));
                for (std::size_t k = 0; k < scope.elements.size(); ++k) {
                    line.Start("  I").Int(scope.elements[k]);
                    if (!perElement) line.Int(scope.faces[k]);
                    line.Text(" V").Value(values[k] * (perElement ? -factor : factor)).Text(" NC").Int(step);
                    deckFile_->WriteLine(line.Get());
                }
                return int{kRC_Success};
            }
            LoadHistory history;
            if (SampleLoadHistory(spatial.Get(), l.id, 1.0, history) != S_OK ||
                !FiniteProducts(values, LargestValue(history)))
                return Refuse(*this, record, kRC_DataMismatch,
                              L"the history of its time factor cannot be made");
            deckFile_->WriteLine(HeaderLine(scope.Header(), record));
            for (std::size_t j = 0; j + 1 < history.size(); j += 2) {
                const double t = history[j], y = history[j + 1];
                if (std::fabs(y) <= kNoLoad) continue;
                for (std::size_t k = 0; k < scope.elements.size(); ++k) {
                    line.Start("  I").Int(scope.elements[k]);
                    if (!perElement) line.Int(scope.faces[k]);
                    line.Text(" V").Value(values[k] * (perElement ? -y : y)).Text(" TIME").Value(t);
                    deckFile_->WriteLine(line.Get());
                }
            }
            return int{kRC_Success};
        });
}
