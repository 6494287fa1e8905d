// Point masses on remote points: one mass element on the remote point's node each, and for a
// mass with inertia in a turned frame a frame of its own and the node's axes set to it, so the
// solver takes the inertia about the frame's axes.
#include <cmath>
#include <string>
#include <vector>

#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/number_format.h"
#include "host/data_source.h"
#include "host/object_types.h"
#include "runtime/return_package.h"

namespace {

// Smaller rotary inertias are no inertia at all.
constexpr double kInertiaTolerance = 1e-15;
constexpr double kFrameAlignmentDegrees = 1e-12;

bool HasInertia(const CPointMass& mass) {
    for (double inertia : mass.inertia)
        if (std::fabs(inertia) > kInertiaTolerance) return true;
    return false;
}

std::string MassLine(int element, int node, const CPointMass& mass, bool withInertia, bool twoDimensional) {
    std::string line = ".MASS I " + std::to_string(element) + " N " + std::to_string(node);
    const auto add = [&line](const char* keyword, double value) {
        line += keyword;
        line += FormatGeneral15(value);
    };
    add(" MASS ", mass.mass);
    if (!withInertia) return line;
    if (!twoDimensional) {
        add(" MIXX ", mass.inertia[0]);
        add(" MIYY ", mass.inertia[1]);
    }
    add(" MIZZ ", mass.inertia[2]);
    return line;
}

}  // namespace

int DorvixFeeder::WriteRemoteMasses() try {
    if (!objectTypeTable_) return kRC_Success;
    std::vector<int> ids;
    std::vector<const ObjectTypeRecord*> objects;
    if (FindEntriesById(*objectTypeTable_, kHostRemoteMassType, ids, objects) != S_OK) return kRC_Success;
    // Each mass's node goes through the package's lookups; without these objects none is written.
    if (!deckFile_ || !meshWrapper_ || !bodyWrapper_ || !returnPackage_) return kRC_MissingData;
    const bool twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();

    for (std::size_t i = 0; i < ids.size(); ++i) {
        const auto refuse = [&](const wchar_t* reason) {
            PostHostMessage(L"Remote mass " + std::to_wstring(ids[i]) + L": " + reason, L"Error");
            return kRC_MissingData;
        };
        const ObjectTypeRecord* record = objectTypeTable_->FindById(ids[i]);
        if (!record) return refuse(L"no record in the object table");
        // A mass of 0 would be written for a record that holds no point mass.
        if (!dynamic_cast<const CPointMass*>(record->GetLoad()))
            return refuse(L"the host gives no point mass");
        CPointMass mass(record->GetLoadObjectType());
        record->GetPointMass(mass);
        int element = 0;
        if (DrawElementNumber(L"Remote mass " + std::to_wstring(ids[i]), element) != kRC_Success)
            return kRC_MissingData;
        deckFile_->WriteLine("!*********** Construct Remote Mass ***********");
        const bool withInertia = HasInertia(mass);

        if (RegisterEntityLookup(ids[i], objects[i]->GetHostObject()) != kRC_Success)
            return refuse(L"the node of its remote point is not known");
        int node = 0;
        int kind = 0;
        if (FAILED(returnPackage_->GetLookup(ids[i], node, kind)))
            return refuse(L"the node of its remote point is not known");
        deckFile_->WriteLine(MassLine(element, node, mass, withInertia, twoDimensional));

        if (!withInertia || mass.frame.IsAlignedWithGlobalAxes(kFrameAlignmentDegrees)) continue;
        // Each mass gets a frame of its own, even one equal to a frame written before.
        CoordinateSystemData system;
        system.frame = mass.frame;
        system.deckFrameNumber = bodyWrapper_->AddCoordinateSystem(system);
        WriteFrame(system);
        deckFile_->WriteLine(".AXL");
        deckFile_->WriteFields(" I", node, "FRAME", system.deckFrameNumber);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the remote masses");
}
