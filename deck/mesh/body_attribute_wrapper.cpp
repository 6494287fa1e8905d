// Deck names and material numbers of the bodies, their kind, thickness, offset and density, deck frames.
#include "deck/mesh/body_attribute_wrapper.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "caerep/core/cae_rep_base.h"
#include "caerep/model/material_reps.h"
#include "deck/materials/unit_system_name.h"
#include "deck/mesh/body_attributes_lookup.h"
#include "deck/return_codes.h"
#include "foundation/text.h"
#include "platform/text.h"

using NCAERep::CCAERepBase;

namespace {

std::wstring StringProperty(const CCAERepBase* object, const wchar_t* name) {
    const NCAERep::CPropertyValue* value = object->findProperty(name);
    if (!value || value->getType() != NCAERep::EValueType::String) return {};
    std::wstring text;
    value->getValue(text);
    return text;
}

}  // namespace

int CBodyAttributeWrapper::FillNamesAndMaterials(CCAERepBase* root) {
    root_ = root;
    names_.assign(static_cast<std::size_t>(GetBodyCount()), BodyName{});
    std::vector<std::wstring> materials;
    for (int i = 0; i < GetBodyCount(); ++i) {
        const BodyRecord& body = (*records_)[i];
        const CCAERepBase* attributes = FindBodyAttributes(root, body.bodyId);
        if (!attributes) return kRC_MissingData;
        const CCAERepBase* material = attributes->getChildByType(L"MaterialRep");
        if (!material) return kRC_MissingData;
        const std::wstring materialName = StringProperty(material, L"MaterialName");
        auto it = std::find(materials.begin(), materials.end(), materialName);
        if (it == materials.end()) it = materials.insert(materials.end(), materialName);
        names_[i].materialNumber = static_cast<int>(it - materials.begin()) + 1;

        // A caption the deck cannot use as a name (one beginning "ALL", "DEFA" or "STAT")
        // falls back to the generated name, so every group that names the body exists.
        const std::wstring caption = StringProperty(attributes, L"Caption");
        std::string identifier;
        if (!caption.empty() && SanitizeDeckName(platform::WideToUtf8(caption), identifier, true) &&
            !identifier.empty())
            names_[i].deckName = identifier + "_" + std::to_string(body.bodyId);
        else
            names_[i].deckName = "Body_" + std::to_string(body.bodyId);
    }
    return kRC_Success;
}

HRESULT CBodyAttributeWrapper::GetBodyRecord(int index, const BodyRecord** out) const {
    const BodyRecord* record = GetBodyRecord(index);
    if (out) *out = record;
    return record ? S_OK : E_FAIL;
}

const BodyRecord* CBodyAttributeWrapper::GetBodyRecord(int index) const {
    if (!records_ || index < 0 || index >= GetBodyCount()) return nullptr;
    return &(*records_)[index];
}

int CBodyAttributeWrapper::GetBodyKind(int index) const {
    const BodyRecord* r = GetBodyRecord(index);
    if (!r) return 0;
    if (r->rigidCode >= 1 && r->rigidCode <= 3) return kRigid;
    return r->kind;
}

int CBodyAttributeWrapper::GetBodyMeshId(int index) const {
    const BodyRecord* r = GetBodyRecord(index);
    return r ? r->bodyMeshId : 0;
}

int CBodyAttributeWrapper::GetBodyId(int index) const {
    const BodyRecord* r = GetBodyRecord(index);
    return r ? r->bodyId : 0;
}

int CBodyAttributeWrapper::GetBodyPartId(int index) const {
    const BodyRecord* r = GetBodyRecord(index);
    return r ? r->partMeshId : 0;
}

int CBodyAttributeWrapper::GetBodyPartIndex(int index) const {
    const BodyRecord* r = GetBodyRecord(index);
    return r ? r->partIndex : 0;
}

int CBodyAttributeWrapper::GetPlanarBehaviour(int index) const {
    const BodyRecord* r = GetBodyRecord(index);
    if (!r || !twoDimensional_) return 4;
    return r->planarBehaviour >= 0 && r->planarBehaviour <= 3 ? r->planarBehaviour : 4;
}

HRESULT CBodyAttributeWrapper::GetBodyThickness(int index, double* value) const {
    const BodyRecord* r = GetBodyRecord(index);
    if (!r) {
        if (value) *value = 0.0;
        return E_FAIL;
    }
    if (value) *value = r->thickness;
    return r->kind == kBodySurface && std::fabs(r->thickness) >= 1e-15 ? S_OK : E_FAIL;
}

HRESULT CBodyAttributeWrapper::GetShellOffset(int index, double* value) const {
    const BodyRecord* r = GetBodyRecord(index);
    if (!r || r->kind != kBodySurface) return E_FAIL;
    double offset = 0.0;
    switch (r->shellOffsetCode) {
        case 0:
            offset = 0.5;
            break;
        case 1:
            offset = 0.0;
            break;
        case 2:
            offset = -0.5;
            break;
        case 3:
            offset = r->userShellOffset;
            break;
        default:
            return E_FAIL;
    }
    if (value) *value = offset;
    return S_OK;
}

int CBodyAttributeWrapper::GetBodyMaterialNumber(int index) const {
    if (index < 0 || index >= GetBodyCount() || index >= static_cast<int>(names_.size())) return 0;
    return names_[index].materialNumber;
}

int CBodyAttributeWrapper::GetBodyFrameNumber(int index) const {
    const BodyRecord* r = GetBodyRecord(index);
    if (!r || r->coordinateSystemId == 0) return 0;
    const CoordinateSystemData* frame = FindCoordinateSystem(r->coordinateSystemId);
    return frame ? frame->deckFrameNumber : 0;
}

HRESULT CBodyAttributeWrapper::GetBodyDensity(int index, double* value) const {
    const BodyRecord* r = GetBodyRecord(index);
    if (!r || !value) return E_FAIL;
    const auto* material = dynamic_cast<const NCAERep::CMaterialRep*>(FindBodyMaterialRep(root_, r->bodyId));
    if (!material) return E_FAIL;
    // A code without a name asks for the values as the material file holds them, as the
    // material section does.
    std::wstring unitSystem;
    (void)GetUnitSystemName(unitSystem_, unitSystem);
    NCAERep::MaterialPropertyTable table;
    if (material->readPropertyData(L"Density", unitSystem, table) < 0 || table.values.empty()) return E_FAIL;
    const double density = table.values.front();
    if (!std::isfinite(density) || density <= 0.0) return E_FAIL;
    *value = density;
    return S_OK;
}

int CBodyAttributeWrapper::FindBodyIndex(int bodyId) const {
    for (int i = 0; i < GetBodyCount(); ++i)
        if ((*records_)[i].bodyId == bodyId) return i;
    return -1;
}

int CBodyAttributeWrapper::FindBodyIndexByMaterial(int materialObjectId) const {
    for (int i = 0; i < GetBodyCount(); ++i)
        if ((*records_)[i].materialId == materialObjectId) return i;
    return -1;
}

int CBodyAttributeWrapper::GetBodyKindById(int bodyId) const { return GetBodyKind(FindBodyIndex(bodyId)); }

HRESULT CBodyAttributeWrapper::GetBodyName(int bodyId, std::string& name) const {
    const int index = FindBodyIndex(bodyId);
    if (index < 0 || index >= static_cast<int>(names_.size())) return E_FAIL;
    name = names_[index].deckName;
    return S_OK;
}

const std::string& CBodyAttributeWrapper::GetBodyNameAt(int index) const {
    static const std::string kNone;
    return index >= 0 && index < static_cast<int>(names_.size()) ? names_[index].deckName : kNone;
}

std::vector<int> CBodyAttributeWrapper::GetPartBodies(int partIndex) const {
    std::vector<int> out;
    for (int i = 0; i < GetBodyCount(); ++i)
        if ((*records_)[i].partIndex == partIndex) out.push_back(i);
    return out;
}

bool CBodyAttributeWrapper::IsAxisymmetricModel() const {
    if (GetBodyCount() < 1) return false;
    for (int i = 0; i < GetBodyCount(); ++i)
        if (GetPlanarBehaviour(i) != 1) return false;
    return true;
}

bool CBodyAttributeWrapper::HasRotationalDofs() const {
    for (int i = 0; i < GetBodyCount(); ++i)
        if ((*records_)[i].kind == kBodySurface) return true;
    return false;
}

const CoordinateSystemData* CBodyAttributeWrapper::FindCoordinateSystem(int id) const {
    for (const CoordinateSystemData& c : frames_)
        if (c.id == id) return &c;
    return nullptr;
}

int CBodyAttributeWrapper::AddCoordinateSystem(const CoordinateSystemData& system) {
    std::set<int> used;
    for (const CoordinateSystemData& c : frames_) used.insert(c.deckFrameNumber);
    int number = 12;
    while (used.count(number)) ++number;
    CoordinateSystemData copy = system;
    copy.deckFrameNumber = number;
    frames_.push_back(copy);
    return number;
}

CCAERepBase* CBodyAttributeWrapper::GetBodyAttributes(int bodyId) const {
    return FindBodyAttributes(root_, bodyId);
}
