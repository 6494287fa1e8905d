// Remote points: each scoped remote point of the model becomes a pilot node on a node the host
// already made, coupled to its region by the remote-load writer, and is entered in the return
// package so the host (and the remote-mass writer) find the pilot's deck node by the point's id.
#include <cstring>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/model/container_reps.h"
#include "caerep/units/units_adaptor.h"
#include "deck/addin_utilities.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "platform/text.h"
#include "runtime/return_package.h"

namespace {

constexpr double kFrameAlignmentDegrees = 1e-12;

// Models saved before these two existed lack them; such a point is taken as unscoped and
// named after its id rather than refused.
bool ReadHasScoping(const NCAERep::CCAERepBase& point) {
    bool value = false;
    if (const NCAERep::CPropertyValue* property = point.findProperty(L"HasScoping"))
        property->getValue(value);
    return value;
}

std::wstring ReadCaption(const NCAERep::CCAERepBase& point) {
    std::wstring caption;
    if (const NCAERep::CPropertyValue* property = point.findProperty(L"Caption")) property->getValue(caption);
    return caption.empty() ? L"RP_" + std::to_wstring(point.getId()) : caption;
}

unsigned int ReadUnsigned(const NCAERep::CCAERepBase& point, const wchar_t* name) {
    unsigned int value = 0;
    point.getProperty(name).getValue(value);
    return value;
}

int BehaviourCode(const std::wstring& loadBehavior) {
    if (loadBehavior == L"Rigid") return RemotePointRecord::kRigid;
    if (loadBehavior == L"Beam") return RemotePointRecord::kBeam;
    return RemotePointRecord::kDeformable;
}

// The pinball in the deck's length unit; as stored when the unit table does not know that unit.
double ReadPinball(const NCAERep::CCAERepBase& point, int deckUnitSystem) {
    const std::wstring units =
        NCAERep::CCAEUnitsJXAdaptor::getInstance()->getUnits(kQuantityLength, deckUnitSystem);
    double value = 0.0;
    point.getProperty(L"PinballSize").getValue(value, L"Length", units);
    return value;
}

}  // namespace

int DorvixFeeder::WriteRemotePoints() try {
    if (!inputRoot_) return kRC_Success;
    std::vector<NCAERep::CIdentity> points;
    inputRoot_->getIdentitiesByType(NCAERep::CRemotePointRep::kTypeName, points);
    if (points.empty()) return kRC_Success;
    if (!deckFile_ || !meshWrapper_ || !bodyWrapper_ || !returnPackage_) return kRC_MissingData;
    for (const NCAERep::CIdentity& identity : points) {
        const NCAERep::CCAERepBase* point = inputDatabase_.getObject(identity);
        if (!point) return kRC_ModelLoadFailed;
        if (!ReadHasScoping(*point)) continue;
        if (const int code = WriteRemotePoint(*point); code != kRC_Success) return code;
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the remote points");
}

int DorvixFeeder::WriteRemotePoint(const NCAERep::CCAERepBase& point) {
    const std::wstring caption = ReadCaption(point);
    deckFile_->WriteLine("!*********** Create Remote Point \"" + platform::WideToUtf8(caption) +
                         "\" ***********");
    RemotePointRecord record;
    record.id = point.getId();
    record.locationKind = 1;
    record.pinballSize = ReadPinball(point, deckUnitSystem_);
    std::wstring loadBehavior;
    point.getProperty(L"LoadBehavior").getValue(loadBehavior);
    record.behaviour = BehaviourCode(loadBehavior);
    const bool planar = dataSource_ && dataSource_->Is2DAnalysis();
    // Always 0: every mask has its digits.
    (void)DofMaskToDigits(planar, static_cast<std::uint8_t>(ReadUnsigned(point, L"DOFMask") & 0xFFu),
                          record.dofMask);

    JXReferenceList references;
    JXList<unsigned int> ids;
    if (const int code = ReadScoping(point.getIdentity(), references, ids); code != kRC_Success) return code;

    const auto frameId = static_cast<int>(ReadUnsigned(point, L"RefCoordSysId"));
    const CoordinateSystemData* frame = nullptr;
    if (frameId != 0) {
        frame = bodyWrapper_->FindCoordinateSystem(frameId);
        if (!frame) {
            PostHostMessage(
                L"The remote point \"" + caption + L"\" uses a coordinate system the model does not have.",
                L"Error");
            return kRC_MissingData;
        }
    }

    int kind = kScopedKindNode;
    int node = 0;
    const JXReference pilot{static_cast<std::int32_t>(ReadUnsigned(point, L"NodeReferenceId")), 0};
    if (FAILED(meshWrapper_->GetScopedNodeIds(&kind, pilot, &node))) {
        PostHostMessage(L"The host gives no node for the remote point \"" + caption + L"\".", L"Error");
        return kRC_HostMeshRefused;
    }
    record.node = node;
    record.locationKind = RemotePointRecord::kExistingNode;

    if (const int code = WriteRemoteLoad(record, caption, references); code != kRC_Success) return code;
    // Whether an entry was replaced does not matter: the point's latest node is its result.
    (void)returnPackage_->SetLookup(record.id, record.node, kLookupNode);

    // A turned frame that the deck numbers no frame has no ".FRAME" block to point the axes at.
    if (frame && frame->deckFrameNumber != 0 &&
        !frame->frame.IsAlignedWithGlobalAxes(kFrameAlignmentDegrees)) {
        deckFile_->WriteLine(".AXL");
        deckFile_->WriteFields(" I", record.node, "FRAME", frame->deckFrameNumber);
    }
    WriteObjectSnippetsForKey(kSnippetRemotePoint, record.id);
    return kRC_Success;
}
