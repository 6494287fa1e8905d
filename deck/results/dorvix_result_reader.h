// Reads the results of an earlier solver run for the feeders: the solved times of a result
// description (the end-time check), one value per result set (the eigen feeder) and node
// values body by body (initial temperatures of a later thermal solve). Every read goes
// through the host's result reader, created by class id; a caller makes a reader on its
// stack, names the file, asks once or twice and lets it go.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/jx_list.h"
#include "foundation/unit_systems.h"
#include "host/result_reader.h"
#include "platform/com.h"
#include "runtime/result_definition.h"

namespace NCAERep {
class CMaterialRep;
}
struct IHostMeshData;

// What ReadResult extracts: componentCount values per entity, values[i * componentCount + c]
// belonging to ids[i].
struct ResultObject {
    int componentCount = 0;
    std::vector<int> ids;
    std::vector<double> values;
    // Set to 1 when the reader's option flag is 1.
    int option = 0;

    void Clear() { *this = ResultObject{}; }
};

class DorvixResultReader {
  public:
    // The host marks a value it does not hold with this; it reaches the caller as 0.0.
    static constexpr double kMissingValue = 1.7976931348623157e308;
    // The host's result type of node temperatures.
    static constexpr int kTemperatureResult = 49;
    // Value components an entity may carry at most.
    static constexpr int kMaxComponents = 20;
    // Orthotropic material data: 128 doubles, positions as GetOrthotropicMaterialData fills them.
    using OrthotropicBlock = std::array<double, 128>;

    DorvixResultReader() = default;
    ~DorvixResultReader() = default;
    DorvixResultReader(const DorvixResultReader&) = delete;
    DorvixResultReader& operator=(const DorvixResultReader&) = delete;

    void SetResultFile(const std::filesystem::path& path);
    // One entry per result set in each list: solved time, set number, step code (999999
    // marks a set the end-time check treats specially). S_OK; S_FALSE (lists untouched)
    // when the file does not exist; a failure (lists untouched, GetProblem tells why) when
    // the host cannot be asked or refuses the file.
    [[nodiscard]] HRESULT GetResultSets(JXList<double>& times, JXList<int>& setNumbers, JXList<int>& stepIds);
    // Appends one value per result set (time, or eigenvalue of an eigen run), from the open
    // file after Open, else from the file read afresh. Answers as GetResultSets.
    [[nodiscard]] HRESULT GetResultValues(JXList<double>& values);
    // Opens the file for ReadResult and GetResultValues. S_OK, or E_FAIL (GetProblem tells
    // why) for a file that is missing or refused.
    [[nodiscard]] HRESULT Open();
    // The node values of the definition's set (by time, or by set index, 0 the last set) for
    // the id selection or, without one, every node of the current body of the mesh, in that
    // order. A node the set does not hold reads as 0.0 and clears the complete flag; each
    // value is converted from the results' unit system into the reader's, then multiplied by
    // the scale factor. E_FAIL before Open, without ids, for an answer that does not fit, or
    // when the values would need a conversion that cannot be made (a unit system the table
    // does not know, a result type of unknown quantity); the host's failure when it refuses
    // the query.
    [[nodiscard]] HRESULT ReadResult(const ResultDefinition& definition, ResultObject& target);

    // The mesh whose body nodes ReadResult reads when no id selection is set.
    void SetMesh(IHostMeshData* mesh) { mesh_ = mesh; }
    // The current body: its body mesh id and the part mesh id it belongs to.
    void SetBody(int bodyNumber, int bodyKey) {
        bodyNumber_ = bodyNumber;
        bodyKey_ = bodyKey;
    }
    // The unit system ReadResult hands values out in (the deck's), and the one the results
    // are in (that of the earlier solve's deck). Solver codes, flags allowed; both
    // JX_SOLV_MKS until set, so that values pass unconverted.
    void SetUnitSystem(int system) { unitSystem_ = system; }
    void SetResultUnitSystem(int system) { resultUnitSystem_ = system; }
    void SetIdSelection(std::vector<int> ids) { idSelection_ = std::move(ids); }
    void SetScaleFactor(double factor) { scaleFactor_ = factor; }
    void SetOptionFlag(int flag) { optionFlag_ = flag; }
    // False once the last ReadResult met a value the host does not hold.
    bool IsComplete() const { return complete_; }
    // Why the last failing call failed.
    const std::wstring& GetProblem() const { return problem_; }

    // Zeros, then the orthotropic elastic constants (Young's moduli at kMissingValue when the
    // material has none), conductivities and, without a B-H curve, permeabilities the host
    // holds for the material, at the temperature. S_OK, or E_FAIL without a host material.
    [[nodiscard]] static HRESULT GetOrthotropicMaterialData(const NCAERep::CMaterialRep& material,
                                                            double temperature, OrthotropicBlock& block);

  private:
    // A new host reader on the result file; the creation's failure (reason kept) otherwise.
    [[nodiscard]] HRESULT CreateHostReader(ComPtr<IHostResultReader>& reader);
    // The host reader's reason for the failure hr, kept; answers hr.
    [[nodiscard]] HRESULT KeepHostProblem(IHostResultReader* reader, HRESULT hr);
    [[nodiscard]] HRESULT Refuse(HRESULT hr, std::wstring reason);
    // The ids ReadResult asks for: the id selection, or the current body's nodes.
    [[nodiscard]] HRESULT SelectNodes(std::vector<int>& nodes);
    // The unit quantity the definition's values convert as; kQuantityNone when the two unit
    // systems are one. E_FAIL (reason kept) when they differ and the conversion cannot be made.
    [[nodiscard]] HRESULT ConversionQuantity(const ResultDefinition& definition, int& quantity);

    std::wstring resultFile_;
    IHostMeshData* mesh_ = nullptr;
    int bodyNumber_ = 0;
    int bodyKey_ = 0;
    int unitSystem_ = kUnitsSolverMks;
    int resultUnitSystem_ = kUnitsSolverMks;
    std::vector<int> idSelection_;
    double scaleFactor_ = 1.0;
    int optionFlag_ = 0;
    bool complete_ = true;
    ComPtr<IHostResultReader> database_;
    std::wstring problem_;
};
