// Corner faces and mid-side edges of each element family, and the per-type table of faces and node counts.
#include "hostsim/mesh_faces.h"

#include <array>
#include <utility>

#include "host/mesh.h"

namespace {

// One element family: its corner faces and, for the quadratic member, the mid-side node of
// each corner edge.
struct Family {
    std::vector<std::vector<int>> cornerFaces;
    std::vector<std::array<int, 3>> edgeMidside;  // corner a, corner b, mid-side position
};

const Family kTetra{
    {{0, 1, 3}, {1, 2, 3}, {2, 0, 3}, {0, 2, 1}},
    {{0, 1, 4}, {1, 2, 5}, {2, 0, 6}, {0, 3, 7}, {1, 3, 8}, {2, 3, 9}},
};
const Family kHexa{
    {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}, {0, 3, 2, 1}, {4, 5, 6, 7}},
    {{0, 1, 8},
     {1, 2, 9},
     {2, 3, 10},
     {3, 0, 11},
     {4, 5, 12},
     {5, 6, 13},
     {6, 7, 14},
     {7, 4, 15},
     {0, 4, 16},
     {1, 5, 17},
     {2, 6, 18},
     {3, 7, 19}},
};
const Family kWedge{
    {{0, 2, 1}, {3, 4, 5}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}},
    {{0, 1, 6}, {1, 2, 7}, {2, 0, 8}, {3, 4, 9}, {4, 5, 10}, {5, 3, 11}, {0, 3, 12}, {1, 4, 13}, {2, 5, 14}},
};
const Family kPyramid{
    {{0, 3, 2, 1}, {0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}},
    {{0, 1, 5}, {1, 2, 6}, {2, 3, 7}, {3, 0, 8}, {0, 4, 9}, {1, 4, 10}, {2, 4, 11}, {3, 4, 12}},
};
// A surface element has two faces: its own side (nodes in element order) and the reverse.
const Family kTriangle{{{0, 1, 2}, {0, 2, 1}}, {{0, 1, 3}, {1, 2, 4}, {2, 0, 5}}};
const Family kQuad{{{0, 1, 2, 3}, {0, 3, 2, 1}}, {{0, 1, 4}, {1, 2, 5}, {2, 3, 6}, {3, 0, 7}}};

int MidsideOf(const Family& f, int a, int b) {
    for (const auto& e : f.edgeMidside)
        if ((e[0] == a && e[1] == b) || (e[0] == b && e[1] == a)) return e[2];
    return -1;
}

std::vector<std::vector<int>> BuildFaces(const Family& f, bool quadratic) {
    std::vector<std::vector<int>> faces;
    for (const auto& corners : f.cornerFaces) {
        std::vector<int> face = corners;
        if (quadratic) {
            for (std::size_t i = 0; i < corners.size(); ++i)
                face.push_back(MidsideOf(f, corners[i], corners[(i + 1) % corners.size()]));
        }
        faces.push_back(std::move(face));
    }
    return faces;
}

struct TypeInfo {
    int nodes = -1;
    std::vector<std::vector<int>> faces;
};

std::array<TypeInfo, kHostElementTypeLast + 1> BuildTable() {
    std::array<TypeInfo, kHostElementTypeLast + 1> t{};
    auto set = [&](int type, int nodes, const Family* f, bool quadratic) {
        t[type].nodes = nodes;
        if (f) t[type].faces = BuildFaces(*f, quadratic);
    };
    set(kHET_Tetra10, 10, &kTetra, true);
    set(kHET_Hexa20, 20, &kHexa, true);
    set(kHET_Wedge15, 15, &kWedge, true);
    set(kHET_Pyramid13, 13, &kPyramid, true);
    set(kHET_TriFacet6, 6, &kTriangle, true);
    set(kHET_Tri6, 6, &kTriangle, true);
    set(kHET_QuadFacet8, 8, &kQuad, true);
    set(kHET_Quad8, 8, &kQuad, true);
    set(kHET_Line3, 3, nullptr, true);
    set(kHET_Point1, 1, nullptr, false);
    set(kHET_Tetra4, 4, &kTetra, false);
    set(kHET_Hexa8, 8, &kHexa, false);
    set(kHET_Wedge6, 6, &kWedge, false);
    set(kHET_Pyramid5, 5, &kPyramid, false);
    set(kHET_TriFacet3, 3, &kTriangle, false);
    set(kHET_Tri3, 3, &kTriangle, false);
    set(kHET_QuadFacet4, 4, &kQuad, false);
    set(kHET_Quad4, 4, &kQuad, false);
    set(kHET_Line2, 2, nullptr, false);
    set(kHET_LineLinear3, 3, nullptr, false);
    set(kHET_LineQuadratic4, 4, nullptr, false);
    return t;
}

const TypeInfo* Info(int type) {
    static const auto table = BuildTable();
    if (type < 0 || type > kHostElementTypeLast || table[type].nodes < 0) return nullptr;
    return &table[type];
}

}  // namespace

int HostFaceCount(int elementType) {
    const TypeInfo* info = Info(elementType);
    return info ? static_cast<int>(info->faces.size()) : 0;
}

std::span<const int> HostFaceNodePositions(int elementType, int faceIndex) {
    const TypeInfo* info = Info(elementType);
    if (!info || faceIndex < 0 || faceIndex >= static_cast<int>(info->faces.size())) return {};
    return info->faces[faceIndex];
}

int HostElementNodeCount(int elementType) {
    const TypeInfo* info = Info(elementType);
    return info ? info->nodes : -1;
}

int FacetTypeOfFaceNodeCount(int nodeCount) {
    switch (nodeCount) {
        case 3:
            return kHET_TriFacet3;
        case 6:
            return kHET_TriFacet6;
        case 4:
            return kHET_QuadFacet4;
        case 8:
            return kHET_QuadFacet8;
        default:
            return -1;
    }
}
