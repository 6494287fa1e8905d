// The user's coordinate systems as deck frames. Only systems the deck numbered are written:
// the others are never referred to by a frame number, so a block for them would be dead text.
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "foundation/unit_systems.h"

namespace {

const char* FrameTypeLine(int type) {
    switch (type) {
        case kCoordCartesian:
            return "      TYPE CARTESIAN";
        case kCoordCylindrical:
            return "      TYPE CYLINDRICAL";
        case kCoordSpherical:
            return "      TYPE SPHERICAL";
        default:
            // The solver has no toroidal frame type; its axes and origin still go out.
            return nullptr;
    }
}

void WriteAxis(DorvixDeckFile& deck, const char* keyword, const Vector3& axis) {
    deck.WriteFields(keyword, axis.x, axis.y, axis.z);
}

}  // namespace

void DorvixFeeder::WriteUserCoordinateSystems() {
    if (!bodyWrapper_ || !deckFile_) return;
    const std::vector<CoordinateSystemData>& systems = bodyWrapper_->GetCoordinateSystems();
    if (systems.empty()) return;
    deckFile_->WriteLine("!*********** Send User Defined Coordinate System(s) ***********");
    for (const CoordinateSystemData& system : systems) WriteFrame(system);
}

void DorvixFeeder::WriteFrame(const CoordinateSystemData& system) {
    if (!deckFile_ || system.deckFrameNumber == 0) return;
    DorvixDeckFile& deck = *deckFile_;
    const CoordSystemSafe& frame = system.frame;
    deck.WriteFields(".FRAME I", system.deckFrameNumber);
    if (const char* type = FrameTypeLine(frame.GetType())) deck.WriteLine(type);

    // Axes are directions and stay as they are; only the origin is a length.
    const UnitSystemTable& units = GetUnitSystemTable();
    const Vector3& origin = frame.GetOrigin();
    const auto length = [&](double value) {
        return units.Convert(modelUnitSystem_, deckUnitSystem_, kQuantityLength, value);
    };
    deck.WriteFields("      ORIGIN", length(origin.x), length(origin.y), length(origin.z));
    WriteAxis(deck, "      V1", frame.GetXAxis());
    WriteAxis(deck, "      V2", frame.GetYAxis());
    WriteAxis(deck, "      V3", frame.GetZAxis());
}
