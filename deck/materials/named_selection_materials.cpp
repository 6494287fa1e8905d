// Regions of a two-dimensional model that carry a material of their own, scaled from their
// body's material, because of how the user named a named selection:
// - "remplissage_<factor>": a filling ratio; stiffness and density are multiplied by it;
// - "aube_equivalente...": a ring of blades whose count, mass and centre-of-gravity radius sit
//   in child objects of the selection; the stiffness stays the body's and the density grows
//   so that the ring weighs what the blades weigh.
// Each such selection gets a banner, one scaled material and the assignment of that material
// to its elements: the body's own group when the selection is the whole body, else a new
// selection group.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deck/addin_utilities.h"
#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_scoping.h"
#include "foundation/case_fold.h"
#include "foundation/text.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "host/entity_text.h"
#include "host/object_model.h"
#include "host/object_types.h"
#include "host/string_table.h"
#include "platform/text.h"
#include "runtime/addin_services.h"
#include "runtime/object_data.h"

namespace {

// A selection holds its blade data in this many attached children.
constexpr std::size_t kBladeDataChildCount = 3;
constexpr double kTwoPi = 6.283185307179586;
constexpr std::string_view kFillingPrefix = "remplissage_";
constexpr std::string_view kBladeRingPrefix = "aube_equivalente";

struct ScaledMaterial {
    double factor = 1.0;
    bool stiffnessUnscaled = false;
};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           platform::EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

// A number as a user types it: blanks around, one sign, digits with a decimal point and an
// exponent; read the same whatever the locale. "inf", "nan" and a number beyond the double
// range are no numbers.
bool ReadTypedNumber(std::string_view text, double& value) {
    double parsed = 0.0;
    if (!TryParseDouble(text, parsed) || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// The name's text after its first '_' as a number, else the analysis parameter the whole name
// names; none when neither gives a finite factor.
std::optional<double> FillingFactor(const DorvixFeeder& feeder, const std::string& name) {
    double factor = 0.0;
    if (ReadTypedNumber(std::string_view(name).substr(name.find('_') + 1), factor)) return factor;
    if (feeder.ReadAnalysisParameters(platform::Utf8ToWide(name), factor) == kRC_Success &&
        std::isfinite(factor))
        return factor;
    return std::nullopt;
}

// The first paragraph of the child's text (the host keeps it as HTML), read as a number or else
// as the name of an analysis parameter. None when the child has no such text or value.
std::optional<double> BladeDataValue(const DorvixFeeder& feeder, IUnknown* child) {
    ComPtr<IHostEntityText> textual = ComPtr<IUnknown>(child).As<IHostEntityText>();
    std::wstring text;
    if (!textual || textual->GetTextProperty(text) != S_OK) return std::nullopt;
    ComPtr<IHostStringList> paragraphs;
    if (FAILED(ListHtmlParagraphs(SysAllocString(text), paragraphs.ReleaseAndGetAddressOf())) || !paragraphs)
        return std::nullopt;
    int count = 0;
    std::wstring first;
    if (FAILED(paragraphs->GetCount(count)) || count < 1 || FAILED(paragraphs->GetItem(0, first)))
        return std::nullopt;
    double value = 0.0;
    if (ReadTypedNumber(platform::WideToUtf8(first), value)) return value;
    if (feeder.ReadAnalysisParameters(first, value) == kRC_Success) return value;
    return std::nullopt;
}

struct BladeData {
    std::optional<double> radius;  // "rcdg", centre of gravity of the blades, MKS
    std::optional<double> count;   // "nbaube"
    std::optional<double> mass;    // "masse", of one blade, MKS
};

// The blade data of the selection's children; a later child of a name replaces an earlier one.
std::optional<BladeData> ReadBladeData(const DorvixFeeder& feeder, int selectionId) {
    AddinServices& services = AddinServices::GetInstance();
    const JXIdList children = services.GetObjectIdList(selectionId, kHostAttachedObjectType);
    if (static_cast<std::size_t>(children.GetCount()) < kBladeDataChildCount) return std::nullopt;
    BladeData data;
    for (int id : children) {
        ComPtr<IUnknown> child = services.GetObjectById(id);
        ComPtr<IHostObject> object = child ? child.As<IHostObject>() : ComPtr<IHostObject>();
        std::wstring name;
        if (!object || FAILED(object->GetName(name))) continue;
        name = ToLowerUnicode(name);
        std::optional<double>* slot = name == L"rcdg"     ? &data.radius
                                      : name == L"nbaube" ? &data.count
                                      : name == L"masse"  ? &data.mass
                                                          : nullptr;
        if (!slot) continue;
        if (const std::optional<double> value = BladeDataValue(feeder, child.Get())) *slot = value;
    }
    if (!data.radius || !data.count || !data.mass) return std::nullopt;
    return data;
}

// The area of the body as the host mesh gives it (model units); none without the body or the
// property.
std::optional<double> BodyArea(const DorvixFeeder& feeder, int bodyIndex, int bodyId) {
    IHostMesh* mesh = feeder.GetHostMesh();
    double area = 0.0;
    if (!mesh || FAILED(mesh->GetBodyProperty(feeder.GetBodyWrapper()->GetBodyPartId(bodyIndex), bodyId,
                                              kBodyPropertyArea, area)))
        return std::nullopt;
    return area;
}

// The extra density of the ring, as a factor of the body's density:
// (count * mass) / (2 pi * radius * area * density). None when a datum is missing or the ring
// has no positive finite volume mass to spread the blades over.
std::optional<double> BladeRingFactor(const DorvixFeeder& feeder, int selectionId, int bodyId) {
    const std::optional<BladeData> blades = ReadBladeData(feeder, selectionId);
    if (!blades) return std::nullopt;
    const CBodyAttributeWrapper& bodies = *feeder.GetBodyWrapper();
    const int index = bodies.FindBodyIndex(bodyId);
    double density = 0.0;
    if (FAILED(bodies.GetBodyDensity(index, &density))) return std::nullopt;
    const std::optional<double> area = BodyArea(feeder, index, bodyId);
    if (!area) return std::nullopt;

    const UnitSystemTable& units = GetUnitSystemTable();
    const int deckUnits = feeder.GetDeckUnitSystem();
    const double mass = units.Convert(kUnitsSolverMks, deckUnits, kQuantityMass, *blades->mass);
    const double radius = units.Convert(kUnitsSolverMks, deckUnits, kQuantityLength, *blades->radius);
    const double deckArea = units.Convert(feeder.GetModelUnitSystem(), deckUnits, kQuantityArea, *area);
    const double denominator = kTwoPi * radius * deckArea * density;
    // A zero radius, area or density would write an infinite or undefined density.
    if (!std::isfinite(denominator) || denominator <= 0.0) return std::nullopt;
    const double factor = std::trunc(*blades->count) * mass / denominator;
    if (!std::isfinite(factor)) return std::nullopt;
    return factor;
}

// The scaled material a selection asks for by its name; none for another name or missing data.
std::optional<ScaledMaterial> ScaledMaterialOf(const DorvixFeeder& feeder, const ScopingRecord& selection,
                                               int bodyId) {
    if (StartsWithIgnoringCase(selection.name, kFillingPrefix)) {
        const std::optional<double> factor = FillingFactor(feeder, selection.name);
        if (!factor) return std::nullopt;
        return ScaledMaterial{*factor, false};
    }
    if (StartsWithIgnoringCase(selection.name, kBladeRingPrefix)) {
        const std::optional<double> factor = BladeRingFactor(feeder, static_cast<int>(selection.id), bodyId);
        if (!factor) return std::nullopt;
        return ScaledMaterial{*factor, true};
    }
    return std::nullopt;
}

// The elements of every reference, appended in reference order; false when one cannot be had.
bool CollectElements(IHostMesh* mesh, const std::vector<JXReference>& references,
                     std::vector<int>& elements) {
    for (const JXReference& reference : references)
        if (FAILED(GetScopingIdsByKind(mesh, reference, elements))) return false;
    return true;
}

// Writes the selection's scaled material and assigns it to the selection's elements: the body's
// own group when they are exactly the body's, else a new selection group. Nothing for a
// selection without elements.
[[nodiscard]] int WriteScaledSelection(DorvixFeeder& feeder, const ScopingRecord& selection, int bodyId,
                                       const ScaledMaterial& material) {
    DorvixDeckFile& deck = *feeder.GetDeckFile();
    CBodyAttributeWrapper& bodies = *feeder.GetBodyWrapper();
    std::vector<int> elements;
    if (!CollectElements(feeder.GetHostMesh(), selection.references, elements)) return kRC_MissingData;
    if (elements.empty()) return kRC_Success;
    deck.WriteLine("!*********** Send Anisotropic material \"" + selection.name + "\" ***********");
    std::string bodyName;
    (void)bodies.GetBodyName(bodyId, bodyName);
    const int materialNumber = NextMaterialNumber();
    // A material that stops half-written must not be assigned: the deck would name functions
    // it never defines.
    if (const int code = bodies.WriteScaledMembraneMaterial(materialNumber, material.factor, bodyId, deck,
                                                            material.stiffnessUnscaled);
        code != kRC_Success)
        return code;
    std::vector<int> bodyElements;
    if (!CollectElements(feeder.GetHostMesh(), {JXReference{bodyId, kJXReferenceElementFaces}}, bodyElements))
        return kRC_MissingData;

    std::sort(elements.begin(), elements.end());
    std::sort(bodyElements.begin(), bodyElements.end());
    if (elements == bodyElements) {
        deck.WriteLine(".AEL GROUP \"" + bodyName + "\" MAT " + std::to_string(materialNumber));
        return kRC_Success;
    }
    const int group = NextSelectionGroupNumber();
    deck.WriteLine(".SEL GROUP " + std::to_string(group) + " MAILLES NOM \"" + selection.name + "\"");
    RecordGroupName(selection.name);
    elements.erase(std::unique(elements.begin(), elements.end()), elements.end());
    std::string list = " I";
    for (int element : elements) list += " " + std::to_string(element);
    deck.WriteLongLine(list);
    deck.WriteLine(".AEL GROUP " + std::to_string(group) + " MAT " + std::to_string(materialNumber));
    return kRC_Success;
}

}  // namespace

int DorvixFeeder::WriteNamedSelectionMaterials() try {
    if (!deckFile_ || !bodyWrapper_ || !dataSource_) return kRC_MissingData;
    if (!bodyWrapper_->IsTwoDimensional()) return kRC_Success;
    for (const ScopingRecord& record : dataSource_->GetNamedSelections()) {
        const ObjectData selection(record);
        const int kind = selection.GetReferenceKind();
        std::vector<std::uint32_t> ids;
        selection.GetIdList(ids);
        // Only selections of faces or edges describe a region of a plane body.
        if ((kind != kGeometryFaces && kind != kGeometryEdges) || ids.empty()) continue;
        const int bodyId = static_cast<int>(ids.front());
        const std::optional<ScaledMaterial> material = ScaledMaterialOf(*this, record, bodyId);
        if (!material) continue;
        if (const int code = WriteScaledSelection(*this, record, bodyId, *material); code != kRC_Success)
            return code;
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the scaled materials of named selections");
}
