// Result sets, set values and node values read through the host's reader, placed by id and converted.
#include "deck/results/dorvix_result_reader.h"

#include <unordered_map>

#include "caerep/model/material_reps.h"
#include "host/mesh.h"
#include "platform/creation_registry.h"
#include "platform/path_text.h"
#include "platform/text.h"

void DorvixResultReader::SetResultFile(const std::filesystem::path& path) {
    resultFile_ = platform::WideFromPath(path);
}

HRESULT DorvixResultReader::Refuse(HRESULT hr, std::wstring reason) {
    problem_ = std::move(reason);
    return hr;
}

HRESULT DorvixResultReader::KeepHostProblem(IHostResultReader* reader, HRESULT hr) {
    std::wstring reason;
    if (FAILED(reader->GetProblem(reason)) || reason.empty())
        reason = L"The host's result reader refused \"" + resultFile_ + L"\"";
    return Refuse(hr, std::move(reason));
}

HRESULT DorvixResultReader::CreateHostReader(ComPtr<IHostResultReader>& reader) {
    HRESULT hr = CoCreateInstance(CLSID_HostResultReader, reader, CLSCTX_INPROC_SERVER);
    if (FAILED(hr) || !reader) return Refuse(FAILED(hr) ? hr : E_FAIL, L"The host has no result reader");
    hr = reader->SetResultFile(resultFile_);
    if (FAILED(hr)) return Refuse(hr, L"No result description file was named");
    return S_OK;
}

HRESULT DorvixResultReader::GetResultSets(JXList<double>& times, JXList<int>& setNumbers,
                                          JXList<int>& stepIds) {
    ComPtr<IHostResultReader> reader;
    HRESULT hr = CreateHostReader(reader);
    if (FAILED(hr)) return hr;
    std::vector<double> values;
    std::vector<int> numbers;
    std::vector<int> codes;
    hr = reader->GetResultSets(values, numbers, codes);
    if (FAILED(hr)) return KeepHostProblem(reader.Get(), hr);
    // The three lists run in parallel: an answer that breaks that is not believed.
    if (numbers.size() != values.size() || codes.size() != values.size())
        return Refuse(E_FAIL, L"The host's result sets of \"" + resultFile_ + L"\" do not fit together");
    problem_.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        times.Add(values[i]);
        setNumbers.Add(numbers[i]);
        stepIds.Add(codes[i]);
    }
    return hr;
}

HRESULT DorvixResultReader::GetResultValues(JXList<double>& values) {
    std::vector<double> answer;
    HRESULT hr = S_OK;
    if (database_) {
        hr = database_->GetSetValues(answer);
        if (FAILED(hr)) return KeepHostProblem(database_.Get(), hr);
    } else {
        ComPtr<IHostResultReader> reader;
        hr = CreateHostReader(reader);
        if (FAILED(hr)) return hr;
        std::vector<int> numbers;
        std::vector<int> codes;
        hr = reader->GetResultSets(answer, numbers, codes);
        if (FAILED(hr)) return KeepHostProblem(reader.Get(), hr);
    }
    problem_.clear();
    for (double value : answer) values.Add(value);
    return hr;
}

HRESULT DorvixResultReader::Open() {
    database_.Reset();
    ComPtr<IHostResultReader> reader;
    HRESULT hr = CreateHostReader(reader);
    if (FAILED(hr)) return E_FAIL;
    hr = reader->OpenDatabase();
    if (FAILED(hr)) return KeepHostProblem(reader.Get(), E_FAIL);
    if (hr != S_OK) return Refuse(E_FAIL, L"The result description \"" + resultFile_ + L"\" does not exist");
    database_ = reader;
    problem_.clear();
    return S_OK;
}

HRESULT DorvixResultReader::SelectNodes(std::vector<int>& nodes) {
    if (!idSelection_.empty()) {
        nodes = idSelection_;
        return S_OK;
    }
    if (!mesh_) return Refuse(E_FAIL, L"No node ids and no mesh to take the body's nodes from");
    HostNodeList list;
    const HRESULT hr = mesh_->GetNodes(kMeshSelectBodyOfPart, bodyKey_, bodyNumber_, false, list);
    if (FAILED(hr))
        return Refuse(hr, L"The host mesh has no nodes of body " + std::to_wstring(bodyNumber_) +
                              L" of part " + std::to_wstring(bodyKey_));
    nodes = std::move(list.ids);
    return S_OK;
}

namespace {

// The unit quantity of each result type whose values the reader converts.
struct ResultQuantity {
    int resultType;
    int quantity;
};
constexpr ResultQuantity kResultQuantities[] = {
    {DorvixResultReader::kTemperatureResult, kQuantityTemperature}};

std::wstring SystemText(int system) {
    const char* name = GetUnitSystemTable().GetSystemName(system);
    std::wstring text = std::to_wstring(system);
    if (name) text += L" (" + platform::Utf8ToWide(name) + L")";
    return text;
}

}  // namespace

HRESULT DorvixResultReader::ConversionQuantity(const ResultDefinition& definition, int& quantity) {
    quantity = kQuantityNone;
    if (resultUnitSystem_ == unitSystem_) return S_OK;
    const UnitSystemTable& units = GetUnitSystemTable();
    for (int system : {resultUnitSystem_, unitSystem_}) {
        if (!units.IsKnownSystem(system))
            return Refuse(E_FAIL, L"The results of \"" + resultFile_ +
                                      L"\" cannot be converted: unit system " + std::to_wstring(system) +
                                      L" is not known");
    }
    for (const ResultQuantity& entry : kResultQuantities) {
        if (entry.resultType != definition.resultType) continue;
        quantity = entry.quantity;
        return S_OK;
    }
    return Refuse(E_FAIL, L"Results of type " + std::to_wstring(definition.resultType) +
                              L" cannot be converted from unit system " + SystemText(resultUnitSystem_) +
                              L" into " + SystemText(unitSystem_));
}

HRESULT DorvixResultReader::ReadResult(const ResultDefinition& definition, ResultObject& target) {
    if (!database_) return Refuse(E_FAIL, L"The result description is not open");
    int quantity = kQuantityNone;
    HRESULT hr = ConversionQuantity(definition, quantity);
    if (FAILED(hr)) return hr;
    HostNodeValueRequest request;
    hr = SelectNodes(request.nodes);
    if (FAILED(hr)) return hr;
    request.byTime = definition.selectionMode == ResultDefinition::kSelectByTime;
    request.time = definition.timeValue;
    request.setNumber = definition.GetSetIndex();
    HostNodeValues answer;
    hr = database_->GetNodeValues(request, answer);
    if (FAILED(hr)) return KeepHostProblem(database_.Get(), hr);
    const int components = answer.componentCount;
    if (components < 1 || components > kMaxComponents ||
        answer.values.size() != answer.ids.size() * static_cast<std::size_t>(components))
        return Refuse(E_FAIL, L"The host's node values of \"" + resultFile_ + L"\" do not fit together");

    // The host answers only the nodes it holds, in its own order: each value goes to its
    // node's place among the asked ones, and an asked node it does not hold stays missing.
    // The index is keyed by id, so no id, however large or negative, sizes an array.
    std::unordered_map<int, std::size_t> position;
    position.reserve(answer.ids.size());
    for (std::size_t i = 0; i < answer.ids.size(); ++i) position.emplace(answer.ids[i], i);

    target.Clear();
    target.componentCount = components;
    target.ids = request.nodes;
    target.values.assign(request.nodes.size() * static_cast<std::size_t>(components), 0.0);
    target.option = optionFlag_ == 1 ? 1 : 0;
    complete_ = true;
    const UnitSystemTable& units = GetUnitSystemTable();
    for (std::size_t i = 0; i < request.nodes.size(); ++i) {
        const auto found = position.find(request.nodes[i]);
        for (int c = 0; c < components; ++c) {
            const double value =
                found == position.end()
                    ? kMissingValue
                    : answer.values[found->second * static_cast<std::size_t>(components) + c];
            // Missing is judged before conversion and scaling: a changed marker would no longer
            // be recognised.
            if (value == kMissingValue) {
                complete_ = false;
                continue;
            }
            target.values[i * static_cast<std::size_t>(components) + c] =
                units.Convert(resultUnitSystem_, unitSystem_, quantity, value) * scaleFactor_;
        }
    }
    problem_.clear();
    return S_OK;
}

namespace {

// The property's value at the temperature: linear between the host's temperature points,
// the end value outside them, the one value of a property without temperatures. False when
// the host does not hold the property.
bool ValueAt(const NCAERep::CMaterialRep& material, const wchar_t* name, const wchar_t* qualifier,
             const wchar_t* group, double temperature, double& value) {
    NCAERep::MaterialPropertyTable table;
    if (material.readPropertyData(name, L"", table, qualifier, group) < 0 || table.values.empty())
        return false;
    const std::vector<double>& t = table.temperatures;
    const std::vector<double>& v = table.values;
    if (t.size() != v.size() || t.size() < 2 || temperature <= t.front()) {
        value = v.front();
        return true;
    }
    if (temperature >= t.back()) {
        value = v.back();
        return true;
    }
    std::size_t k = 1;
    while (k + 1 < t.size() && t[k] < temperature) ++k;
    const double span = t[k] - t[k - 1];
    value = span > 0.0 ? v[k - 1] + (v[k] - v[k - 1]) * (temperature - t[k - 1]) / span : v[k];
    return true;
}

struct OrthotropicEntry {
    int position;
    const wchar_t* name;
};

constexpr OrthotropicEntry kElasticity[] = {
    {0, L"Young's Modulus X direction"},
    {1, L"Young's Modulus Y direction"},
    {2, L"Young's Modulus Z direction"},
    {3, L"Shear Modulus XY"},
    {4, L"Shear Modulus YZ"},
    {5, L"Shear Modulus XZ"},
    {6, L"Poisson's Ratio YX"},
    {7, L"Poisson's Ratio ZY"},
    {8, L"Poisson's Ratio ZX"},
};
constexpr OrthotropicEntry kConductivity[] = {{15, L"Thermal Conductivity X direction"},
                                              {16, L"Thermal Conductivity Y direction"},
                                              {17, L"Thermal Conductivity Z direction"}};
constexpr OrthotropicEntry kPermeability[] = {{30, L"Orthotropic Permeability X direction"},
                                              {31, L"Orthotropic Permeability Y direction"},
                                              {32, L"Orthotropic Permeability Z direction"}};

}  // namespace

HRESULT DorvixResultReader::GetOrthotropicMaterialData(const NCAERep::CMaterialRep& material,
                                                       double temperature, OrthotropicBlock& block) {
    block.fill(0.0);
    ComPtr<IUnknown> host;
    if (material.getHostMaterial(host) != S_OK) return E_FAIL;
    block[0] = block[1] = block[2] = kMissingValue;
    // A property the host does not hold leaves its position as it is.
    auto read = [&](const auto& entries, const wchar_t* qualifier, const wchar_t* group) {
        for (const OrthotropicEntry& entry : entries) {
            double value = 0.0;
            if (ValueAt(material, entry.name, qualifier, group, temperature, value))
                block[entry.position] = value;
        }
    };
    read(kElasticity, L"", L"Orthotropic Elasticity");
    read(kConductivity, L"Orthotropic", L"Thermal Conductivity");
    std::vector<double> curve;
    if (material.getPropertyValues(L"Magnetic Flux Density", L"B-H Curve", L"", curve) < 0)
        read(kPermeability, L"Linear", L"Orthotropic Permeability");
    return S_OK;
}
