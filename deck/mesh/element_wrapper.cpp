// The host element code of a shape and order, host and deck face numbers both ways, node and probe counts.
#include "deck/mesh/element_wrapper.h"

#include "foundation/analysis_kind.h"
#include "host/mesh.h"

namespace {

enum class FaceFamily { kNone, kTetra, kHexa, kWedge, kShifted };

FaceFamily FamilyOf(int type) {
    if (type < 0 || type > 17) return FaceFamily::kNone;
    switch (type) {
        case kHET_Tetra10:
        case kHET_Tetra4:
            return FaceFamily::kTetra;
        case kHET_Hexa20:
        case kHET_Hexa8:
            return FaceFamily::kHexa;
        case kHET_Wedge15:
        case kHET_Wedge6:
            return FaceFamily::kWedge;
        case kHET_Line3:
        case kHET_Point1:
            return FaceFamily::kNone;
        default:
            return FaceFamily::kShifted;  // pyramids, triangles, quadrilaterals
    }
}

// Pyramids have five faces. A surface element has a face per edge: its first two are the two
// sides of a shell, and every edge is a face of a plane element.
int ShiftedFaceCount(int type) {
    switch (type) {
        case kHET_Pyramid13:
        case kHET_Pyramid5:
            return 5;
        case kHET_TriFacet6:
        case kHET_Tri6:
        case kHET_TriFacet3:
        case kHET_Tri3:
            return 3;
        default:
            return 4;  // quadrilaterals
    }
}

constexpr int kTetraToDeck[4] = {2, 3, 4, 1};
constexpr int kHexaToDeck[6] = {2, 3, 4, 5, 1, 6};
constexpr int kWedgeToDeck[5] = {1, 5, 2, 3, 4};
constexpr int kHexaToHost[7] = {-1, 4, 0, 1, 2, 3, 5};
constexpr int kWedgeToHost[6] = {-1, 0, 2, 3, 4, 1};

}  // namespace

int CElementWrapper::GetHostElementType() const {
    const bool quadratic = order == 1;
    switch (shape) {
        case kTriangle:
            return quadratic ? kHET_Tri6 : kHET_Tri3;
        case kQuadrilateral:
            return quadratic ? kHET_Quad8 : kHET_Quad4;
        case kTetrahedron:
        case kTetrahedronAlias:
            return quadratic ? kHET_Tetra10 : kHET_Tetra4;
        case kHexahedron:
            return quadratic ? kHET_Hexa20 : kHET_Hexa8;
        case kWedge:
            return quadratic ? kHET_Wedge15 : kHET_Wedge6;
        case kPyramid:
            return quadratic ? kHET_Pyramid13 : kHET_Pyramid5;
        default:
            return -1;
    }
}

bool CElementWrapper::AllowsPyramids() const {
    if (order != 0) return true;
    return analysisKind == 0 || analysisKind == kAnalysisStructural || analysisKind == kAnalysisThermal ||
           analysisKind == 6;
}

int CElementWrapper::ToDeckFaceNumber(int hostFace, int elementType) {
    switch (FamilyOf(elementType)) {
        case FaceFamily::kTetra:
            return hostFace >= 0 && hostFace < 4 ? kTetraToDeck[hostFace] : -1;
        case FaceFamily::kHexa:
            return hostFace >= 0 && hostFace < 6 ? kHexaToDeck[hostFace] : -1;
        case FaceFamily::kWedge:
            return hostFace >= 0 && hostFace < 5 ? kWedgeToDeck[hostFace] : -1;
        case FaceFamily::kShifted:
            return hostFace >= 0 && hostFace < ShiftedFaceCount(elementType) ? hostFace + 1 : -1;
        case FaceFamily::kNone:
            return -1;
    }
    return -1;
}

int CElementWrapper::ToHostFaceNumber(int deckFace, int elementType) {
    switch (FamilyOf(elementType)) {
        case FaceFamily::kTetra:
            if (deckFace == 1) return 3;
            return deckFace >= 2 && deckFace <= 4 ? deckFace - 2 : -1;
        case FaceFamily::kHexa:
            return deckFace >= 1 && deckFace <= 6 ? kHexaToHost[deckFace] : -1;
        case FaceFamily::kWedge:
            return deckFace >= 1 && deckFace <= 5 ? kWedgeToHost[deckFace] : -1;
        case FaceFamily::kShifted:
            return deckFace >= 1 && deckFace <= ShiftedFaceCount(elementType) ? deckFace - 1 : -1;
        case FaceFamily::kNone:
            return -1;
    }
    return -1;
}

bool CElementWrapper::IsSolidType(int elementType) {
    const FaceFamily family = FamilyOf(elementType);
    return family == FaceFamily::kTetra || family == FaceFamily::kHexa || family == FaceFamily::kWedge ||
           elementType == kHET_Pyramid13 || elementType == kHET_Pyramid5;
}

void CElementWrapper::GetNodeCounts(int elementType, int* nodeCount, int* cornerCount) {
    static constexpr int kCounts[19][2] = {{10, 4}, {20, 8}, {15, 6}, {13, 5}, {6, 3}, {6, 3}, {8, 4},
                                           {8, 4},  {3, 2},  {1, 1},  {4, 4},  {8, 8}, {6, 6}, {5, 5},
                                           {3, 3},  {3, 3},  {4, 4},  {4, 4},  {2, 2}};
    int n = -1, c = -1;
    if (elementType >= 0 && elementType <= 18) {
        n = kCounts[elementType][0];
        c = kCounts[elementType][1];
    } else if (elementType == kHET_LineLinear3) {
        n = c = 3;
    } else if (elementType == kHET_LineQuadratic4) {
        n = c = 4;
    }
    if (nodeCount) *nodeCount = n;
    if (cornerCount) *cornerCount = c;
}

int CElementWrapper::GetFaceProbeCount(int elementType) {
    switch (elementType) {
        case kHET_Tetra10:
        case kHET_Tetra4:
            return 4;
        case kHET_Hexa20:
        case kHET_Hexa8:
            return 8;
        case kHET_Wedge15:
        case kHET_Wedge6:
            return 6;
        case kHET_Pyramid13:
        case kHET_Pyramid5:
            return 5;
        default:
            return (elementType >= 4 && elementType <= 7) || (elementType >= 14 && elementType <= 17) ? 2
                                                                                                      : -1;
    }
}
