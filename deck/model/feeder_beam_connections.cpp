// Beam connections: the host meshes each as one two-node line element, which the deck turns
// into a beam with a circular profile of its own, so that two beams of equal radius can still
// be told apart in the results.
#include <cmath>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/model/joint_beam_reps.h"
#include "caerep/model/material_reps.h"
#include "caerep/units/units_adaptor.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/number_format.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "host/mesh.h"
#include "platform/text.h"
#include "runtime/return_package.h"

namespace {

std::wstring ReadText(const NCAERep::CCAERepBase& object, const wchar_t* name) {
    std::wstring text;
    object.getProperty(name).getValue(text);
    return text;
}

bool IsGrounded(const NCAERep::CCAERepBase& beam) {
    const NCAERep::CPropertyValue* scoping = beam.findProperty(L"ScopingType");
    if (!scoping || scoping->getType() != NCAERep::EValueType::String) return false;
    std::wstring text;
    scoping->getValue(text);
    return text == L"BodyToGround";
}

}  // namespace

int DorvixFeeder::WriteBeamConnections() try {
    if (!inputRoot_) return kRC_Success;
    std::vector<NCAERep::CIdentity> beams;
    inputRoot_->getIdentitiesByType(NCAERep::CBeamConnectionRep::kTypeName, beams);
    if (beams.empty()) return kRC_Success;
    if (!deckFile_ || !meshWrapper_ || !returnPackage_ || !dataSource_) return kRC_MissingData;
    DorvixDeckFile& deck = *deckFile_;

    for (const NCAERep::CIdentity& identity : beams) {
        const NCAERep::CCAERepBase* beam = inputDatabase_.getObject(identity);
        if (!beam) {
            PostHostMessage(L"A beam connection of the model cannot be read", L"Error");
            return kRC_ModelLoadFailed;
        }
        const int objectId = beam->getId();
        const std::wstring caption = ReadText(*beam, L"Caption");
        const auto refuse = [&](int code, const std::wstring& reason) {
            PostHostMessage(L"Beam connection \"" + caption + L"\" (object " + std::to_wstring(objectId) +
                                L"): " + reason,
                            L"Error");
            return code;
        };
        deck.WriteLine("!~~~~~~~~~~ Create Beam Connection \"" + platform::WideToUtf8(caption) +
                       "\" ~~~~~~~~~~");

        unsigned int meshReference = 0;
        beam->getProperty(L"MeshReferenceId").getValue(meshReference);
        int kind = kHET_Line2;
        int element = 0;
        const JXReference reference{static_cast<std::int32_t>(meshReference), kJXReferenceElements};
        if (FAILED(meshWrapper_->GetScopedNodeIds(&kind, reference, &element)) || element < 1)
            return refuse(kRC_HostMeshRefused, L"the mesh holds no element for it");
        JXList<unsigned int> nodes(5, 100);
        if (FAILED(meshWrapper_->GetEntityIds(element, nodes)) || nodes.GetCount() != 2)
            return refuse(kRC_HostMeshRefused, L"its element does not have exactly two nodes");
        const bool grounded = IsGrounded(*beam);

        // The radius is read in the deck's own length unit; without that unit it would be
        // written in whatever unit the model stored it in.
        std::wstring lengthUnit;
        double metresPerUnit = 1.0;
        const NCAERep::CCAEUnitsJXAdaptor* adaptor = NCAERep::CCAEUnitsJXAdaptor::getInstance();
        if (!adaptor || !adaptor->getUnits(kQuantityLength, deckUnitSystem_, lengthUnit) ||
            lengthUnit.empty() ||
            !GetUnitSystemTable().TryConvert(deckUnitSystem_, kUnitsSolverMks, kQuantityLength,
                                             metresPerUnit))
            return refuse(kRC_MissingData, L"the length unit of the deck is not known");
        double radius = 0.0;
        beam->getProperty(L"Radius").getValue(radius, L"Length", lengthUnit);
        if (!std::isfinite(radius) || radius <= 0.0)
            return refuse(kRC_MissingData, L"the radius must be a positive length");

        const std::wstring material = ReadText(*beam, L"MaterialName");
        const auto* library = dynamic_cast<const NCAERep::CMaterialLibraryRep*>(
            inputRoot_->getChild(L"MaterialLibraryRep", L"MaterialLibraryRep"));
        if (!library) return refuse(kRC_MaterialData, L"the model has no material library");
        ComPtr<IUnknown> hostMaterial;
        if (library->getMaterial(material, hostMaterial) != S_OK)
            return refuse(kRC_MaterialData, L"the material library has no material \"" + material + L"\"");

        const int first = static_cast<int>(nodes[0]);
        const std::string profile = "\"beam_connection" + std::to_string(objectId) + "\"";
        deck.WriteFields(".MAI I", element, "N", first, static_cast<int>(nodes[1]));
        deck.WriteFields(".HYP I", element, "VOLU");
        deck.WriteFields(
            ".BPR NOM " + profile + " UNITE " + FormatSignificant(metresPerUnit, 6) + " TYPE \"CIRCLE\" R",
            radius);
        deck.WriteFields(".AEL I", element, "DEGRE 1 MAT \"" + platform::WideToUtf8(material) + "\" PROFIL",
                         profile);
        // Whether an entry was replaced does not matter: the beam's latest element is its result.
        (void)returnPackage_->SetLookup(objectId, element, kLookupElement);
        if (grounded) {
            deck.WriteLine(".CLM");
            deck.WriteFields("  FIX NOE I", first, dataSource_->Is2DAnalysis() ? "C 1 2 6" : "C 1 2 3 4 5 6");
        }
        WriteObjectSnippetsForKey(kSnippetBeamConnection, objectId);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the beam connections");
}
