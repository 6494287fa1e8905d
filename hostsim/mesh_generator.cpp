// Hexahedral, tetrahedral and shell blocks with their sides as faces or edges, counted against the limits.
#include "hostsim/mesh_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "hostsim/mesh_faces.h"

namespace {

constexpr long long kMaxNumber = std::numeric_limits<int>::max();
constexpr long long kMaxCount = std::numeric_limits<long long>::max();

// a * b and a + b of counts that are not negative, held at kMaxCount instead of overflowing.
long long Times(long long a, long long b) { return a != 0 && b > kMaxCount / a ? kMaxCount : a * b; }
long long Plus(long long a, long long b) { return b > kMaxCount - a ? kMaxCount : a + b; }

bool IsSolidElement(const std::string& element) {
    return element == "hexa8" || element == "hexa20" || element == "tetra4" || element == "tetra10";
}

struct Grid {
    int nx, ny, nz;  // cells
    int firstNode;
    int Id(int i, int j, int k) const { return firstNode + i + (nx + 1) * (j + (ny + 1) * k); }
    long long Count() const { return static_cast<long long>(nx + 1) * (ny + 1) * (nz + 1); }
};

// Mid-side nodes shared by the elements that meet at an edge.
class MidsideNodes {
  public:
    MidsideNodes(HostSimMesh& mesh, int firstId) : mesh_(mesh), next_(firstId) {}
    int Get(int a, int b) {
        const std::uint64_t key =
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(std::min(a, b))) << 32) |
            static_cast<std::uint32_t>(std::max(a, b));
        auto [it, fresh] = ids_.emplace(key, next_);
        if (fresh) {
            const double* pa = mesh_.NodeXyzAt(mesh_.NodeIndex(a));
            const double* pb = mesh_.NodeXyzAt(mesh_.NodeIndex(b));
            mesh_.AddNode(next_++, 0.5 * (pa[0] + pb[0]), 0.5 * (pa[1] + pb[1]), 0.5 * (pa[2] + pb[2]));
        }
        return it->second;
    }

  private:
    HostSimMesh& mesh_;
    int next_;
    std::unordered_map<std::uint64_t, int> ids_;
};

// Corner orders of the six tetrahedra of a cell, all around the diagonal from corner 0 to
// corner 6, so that neighbouring cells cut their common face the same way.
constexpr int kCellTetras[6][4] = {{0, 1, 2, 6}, {0, 2, 3, 6}, {0, 3, 7, 6},
                                   {0, 7, 4, 6}, {0, 4, 5, 6}, {0, 5, 1, 6}};

double SignedVolume(const HostSimMesh& mesh, const int* n) {
    const double* a = mesh.NodeXyzAt(mesh.NodeIndex(n[0]));
    double d[3][3];
    for (int r = 0; r < 3; ++r) {
        const double* p = mesh.NodeXyzAt(mesh.NodeIndex(n[r + 1]));
        for (int c = 0; c < 3; ++c) d[r][c] = p[c] - a[c];
    }
    return d[0][0] * (d[1][1] * d[2][2] - d[1][2] * d[2][1]) -
           d[0][1] * (d[1][0] * d[2][2] - d[1][2] * d[2][0]) +
           d[0][2] * (d[1][0] * d[2][1] - d[1][1] * d[2][0]);
}

// The corners of cell (i, j, k) in the order of its hexahedron, as steps along x, y and z.
constexpr int kCornerOffsets[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                      {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};

// The steps from cell (i, j, k) to its corner node `node`.
const int* CellCornerOffsets(const Grid& grid, int i, int j, int k, int node) {
    for (const auto& corner : kCornerOffsets)
        if (grid.Id(i + corner[0], j + corner[1], k + corner[2]) == node) return corner;
    return kCornerOffsets[0];  // not reached: every element corner is a corner of its cell
}

void AddFaceTo(HostMeshFaces& faces, const std::vector<int>& nodes) {
    std::vector<int>* list = nodes.size() == 3   ? &faces.tri3
                             : nodes.size() == 4 ? &faces.quad4
                             : nodes.size() == 6 ? &faces.tri6
                                                 : &faces.quad8;
    list->insert(list->end(), nodes.begin(), nodes.end());
}

void GenerateSolid(HostSimMesh& mesh, const MeshBlockRequest& request, const Grid& grid, int firstEntity) {
    const bool tetra = request.element == "tetra4" || request.element == "tetra10";
    const bool quadratic = request.element == "hexa20" || request.element == "tetra10";
    const int type =
        tetra ? (quadratic ? kHET_Tetra10 : kHET_Tetra4) : (quadratic ? kHET_Hexa20 : kHET_Hexa8);
    const std::size_t cells = static_cast<std::size_t>(grid.nx) * grid.ny * grid.nz;
    const std::size_t elements = tetra ? 6 * cells : cells;
    mesh.Reserve(mesh.NodeCount() + static_cast<std::size_t>(grid.Count()), mesh.ElementCount() + elements,
                 elements * static_cast<std::size_t>(HostElementNodeCount(type)));
    for (int k = 0; k <= grid.nz; ++k)
        for (int j = 0; j <= grid.ny; ++j)
            for (int i = 0; i <= grid.nx; ++i)
                mesh.AddNode(grid.Id(i, j, k), request.origin[0] + request.size[0] * i / grid.nx,
                             request.origin[1] + request.size[1] * j / grid.ny,
                             request.origin[2] + request.size[2] * k / grid.nz);

    MidsideNodes midside(mesh, static_cast<int>(grid.firstNode + grid.Count()));
    std::vector<int> bodyElements;
    bodyElements.reserve(elements);
    int nextElement = request.firstElement;
    std::vector<int> nodes;
    auto addQuadratic = [&](int cornerCount) {
        // Mid-side order follows the host's edge numbering: for tetrahedra 0-1, 1-2, 2-0,
        // 0-3, 1-3, 2-3; for hexahedra the bottom ring, the top ring, then the risers.
        static constexpr int kTetraEdges[6][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
        static constexpr int kHexaEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                                  {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
        const std::vector<int> corners(nodes.begin(), nodes.begin() + cornerCount);
        if (cornerCount == 4)
            for (const auto& e : kTetraEdges) nodes.push_back(midside.Get(corners[e[0]], corners[e[1]]));
        else
            for (const auto& e : kHexaEdges) nodes.push_back(midside.Get(corners[e[0]], corners[e[1]]));
    };
    for (int k = 0; k < grid.nz; ++k)
        for (int j = 0; j < grid.ny; ++j)
            for (int i = 0; i < grid.nx; ++i) {
                const int c[8] = {grid.Id(i, j, k),
                                  grid.Id(i + 1, j, k),
                                  grid.Id(i + 1, j + 1, k),
                                  grid.Id(i, j + 1, k),
                                  grid.Id(i, j, k + 1),
                                  grid.Id(i + 1, j, k + 1),
                                  grid.Id(i + 1, j + 1, k + 1),
                                  grid.Id(i, j + 1, k + 1)};
                if (!tetra) {
                    nodes.assign(c, c + 8);
                    if (quadratic) addQuadratic(8);
                    mesh.AddElement(nextElement, type, nodes);
                    bodyElements.push_back(nextElement++);
                    continue;
                }
                for (const auto& t : kCellTetras) {
                    nodes = {c[t[0]], c[t[1]], c[t[2]], c[t[3]]};
                    if (SignedVolume(mesh, nodes.data()) < 0) std::swap(nodes[1], nodes[2]);
                    if (quadratic) addQuadratic(4);
                    mesh.AddElement(nextElement, type, nodes);
                    bodyElements.push_back(nextElement++);
                }
            }
    if (!mesh.FindPart(request.partMeshId)) mesh.AddPart(request.partMeshId);
    mesh.AddBody(request.partMeshId, request.bodyMeshId, bodyElements);

    // The block's six sides: every element face whose corners all lie on one side. Only a cell
    // at the block's boundary has such faces; the cells are visited in element order.
    HostMeshFaces sides[6];
    const int cornersOfFace = tetra ? 3 : 4;
    const int elementsPerCell = tetra ? 6 : 1;
    const int n[3] = {grid.nx, grid.ny, grid.nz};
    std::vector<int> faceNodes;
    std::size_t cell = 0;
    for (int k = 0; k < grid.nz; ++k)
        for (int j = 0; j < grid.ny; ++j)
            for (int i = 0; i < grid.nx; ++i, ++cell) {
                const int at[3] = {i, j, k};
                bool boundary = false;
                for (int a = 0; a < 3; ++a) boundary = boundary || at[a] == 0 || at[a] + 1 == n[a];
                if (!boundary) continue;
                for (int t = 0; t < elementsPerCell; ++t) {
                    const int pos = mesh.ElementIndex(bodyElements[cell * elementsPerCell + t]);
                    for (int f = 0; mesh.ElementFaceNodes(pos, f, faceNodes); ++f) {
                        int lo[3] = {1, 1, 1}, hi[3] = {1, 1, 1};
                        for (int q = 0; q < cornersOfFace; ++q) {
                            const int* corner = CellCornerOffsets(grid, i, j, k, faceNodes[q]);
                            for (int a = 0; a < 3; ++a) {
                                lo[a] &= at[a] + corner[a] == 0;
                                hi[a] &= at[a] + corner[a] == n[a];
                            }
                        }
                        for (int a = 0; a < 3; ++a) {
                            if (lo[a]) AddFaceTo(sides[2 * a], faceNodes);
                            if (hi[a]) AddFaceTo(sides[2 * a + 1], faceNodes);
                        }
                    }
                }
            }
    for (int s = 0; s < 6; ++s)
        mesh.AddGeometricFace(firstEntity + s, request.bodyMeshId, std::move(sides[s]), false);
}

void GenerateSheet(HostSimMesh& mesh, const MeshBlockRequest& request, const Grid& grid, int firstEntity) {
    for (int j = 0; j <= grid.ny; ++j)
        for (int i = 0; i <= grid.nx; ++i)
            mesh.AddNode(grid.Id(i, j, 0), request.origin[0] + request.size[0] * i / grid.nx,
                         request.origin[1] + request.size[1] * j / grid.ny, request.origin[2]);
    std::vector<int> bodyElements;
    HostMeshFaces face;
    int nextElement = request.firstElement;
    for (int j = 0; j < grid.ny; ++j)
        for (int i = 0; i < grid.nx; ++i) {
            const std::vector<int> nodes = {grid.Id(i, j, 0), grid.Id(i + 1, j, 0), grid.Id(i + 1, j + 1, 0),
                                            grid.Id(i, j + 1, 0)};
            mesh.AddElement(nextElement, kHET_Quad4, nodes);
            bodyElements.push_back(nextElement++);
            face.quad4.insert(face.quad4.end(), nodes.begin(), nodes.end());
        }
    if (!mesh.FindPart(request.partMeshId)) mesh.AddPart(request.partMeshId);
    mesh.AddBody(request.partMeshId, request.bodyMeshId, bodyElements);
    mesh.AddGeometricFace(firstEntity, request.bodyMeshId, std::move(face), false);
    HostMeshEdges edges[4];
    for (int i = 0; i < grid.nx; ++i) {
        edges[0].nodes.insert(edges[0].nodes.end(), {grid.Id(i, 0, 0), grid.Id(i + 1, 0, 0)});
        edges[2].nodes.insert(edges[2].nodes.end(), {grid.Id(i + 1, grid.ny, 0), grid.Id(i, grid.ny, 0)});
    }
    for (int j = 0; j < grid.ny; ++j) {
        edges[1].nodes.insert(edges[1].nodes.end(), {grid.Id(grid.nx, j, 0), grid.Id(grid.nx, j + 1, 0)});
        edges[3].nodes.insert(edges[3].nodes.end(), {grid.Id(0, j + 1, 0), grid.Id(0, j, 0)});
    }
    for (int s = 0; s < 4; ++s)
        mesh.AddGeometricEdge(firstEntity + 1 + s, request.bodyMeshId, std::move(edges[s]), false);
}

}  // namespace

MeshBlockCounts CountMeshBlock(const MeshBlockRequest& request) {
    const long long nx = std::max(request.cells[0], 0), ny = std::max(request.cells[1], 0);
    if (request.element == "shell4") return {Times(nx + 1, ny + 1), Times(nx, ny)};
    const long long nz = std::max(request.cells[2], 0);
    const long long cells = Times(Times(nx, ny), nz);
    long long nodes = Times(Times(nx + 1, ny + 1), nz + 1);
    // Mid-side nodes: one per grid edge; tetrahedra also cut each cell face and each cell once.
    const long long gridEdges = Plus(Plus(Times(Times(nx, ny + 1), nz + 1), Times(Times(nx + 1, ny), nz + 1)),
                                     Times(Times(nx + 1, ny + 1), nz));
    const long long cellFaces =
        Plus(Plus(Times(Times(nx, ny), nz + 1), Times(Times(nx, ny + 1), nz)), Times(Times(nx + 1, ny), nz));
    if (request.element == "hexa20") nodes = Plus(nodes, gridEdges);
    if (request.element == "tetra10") nodes = Plus(Plus(Plus(nodes, gridEdges), cellFaces), cells);
    const bool tetra = request.element == "tetra4" || request.element == "tetra10";
    return {nodes, tetra ? Times(cells, 6) : cells};
}

MeshBlockCounts operator+(const MeshBlockCounts& a, const MeshBlockCounts& b) {
    return {Plus(a.nodes, b.nodes), Plus(a.elements, b.elements)};
}

void CheckGeneratedCounts(const MeshBlockCounts& total) {
    if (total.nodes > kMaxGeneratedNodes)
        throw HostSimMeshError("the case's blocks would make " + std::to_string(total.nodes) +
                               " nodes; a case may generate at most 10,000,000 nodes");
    if (total.elements > kMaxGeneratedElements)
        throw HostSimMeshError("the case's blocks would make " + std::to_string(total.elements) +
                               " elements; a case may generate at most 10,000,000 elements");
}

MeshBlockPlan PlanMeshBlock(const MeshBlockRequest& request, const MeshBlockCounts& before, int maxNode,
                            int maxElement) {
    MeshBlockPlan plan;
    plan.sheet = request.element == "shell4";
    if (!plan.sheet && !IsSolidElement(request.element))
        throw HostSimMeshError("unknown block element \"" + request.element +
                               "\" (hexa8, hexa20, tetra4, tetra10 or shell4)");
    const int nz = plan.sheet ? 0 : request.cells[2];
    if (request.cells[0] < 1 || request.cells[1] < 1 || (!plan.sheet && nz < 1))
        throw HostSimMeshError("a block needs at least one cell in each direction");
    for (int a = 0; a < (plan.sheet ? 2 : 3); ++a)
        if (!(request.size[a] > 0.0))
            throw HostSimMeshError("a block needs a positive size in each direction");
    plan.counts = CountMeshBlock(request);
    CheckGeneratedCounts(before + plan.counts);
    const long long firstNode = request.firstNode > 0 ? request.firstNode : maxNode + 1LL;
    const long long firstElement = request.firstElement > 0 ? request.firstElement : maxElement + 1LL;
    const long long entity =
        request.firstEntityId != 0 ? request.firstEntityId : 100LL * request.bodyMeshId + 1;
    if (firstNode + plan.counts.nodes - 1 > kMaxNumber ||
        firstElement + plan.counts.elements - 1 > kMaxNumber || entity < 1 || entity + 6 > kMaxNumber)
        throw HostSimMeshError("the block's node, element or entity numbers would pass 2,147,483,647");
    plan.firstNode = static_cast<int>(firstNode);
    plan.firstElement = static_cast<int>(firstElement);
    plan.firstEntity = static_cast<int>(entity);
    return plan;
}

void GenerateMeshBlock(HostSimMesh& mesh, const MeshBlockRequest& request) {
    const MeshBlockPlan plan = PlanMeshBlock(request,
                                             MeshBlockCounts{static_cast<long long>(mesh.NodeCount()),
                                                             static_cast<long long>(mesh.ElementCount())},
                                             mesh.MaxNodeNumber(), mesh.MaxElementNumber());
    const Grid grid{request.cells[0], request.cells[1], plan.sheet ? 0 : request.cells[2], plan.firstNode};
    MeshBlockRequest s = request;
    s.firstElement = plan.firstElement;
    if (plan.sheet)
        GenerateSheet(mesh, s, grid, plan.firstEntity);
    else
        GenerateSolid(mesh, s, grid, plan.firstEntity);
    mesh.AddGeneratedBlock({request.bodyMeshId, plan.sheet, request.origin, request.size, plan.firstEntity});
}

namespace {

// Every coordinate the block makes, mid-side nodes included, is a finite number.
bool CoordinatesStayFinite(const MeshBlockRequest& request) {
    constexpr double kLargest = 1e300;
    for (int a = 0; a < 3; ++a)
        if (std::fabs(request.origin[a]) > kLargest || std::fabs(request.size[a]) > kLargest) return false;
    return true;
}

bool Overlaps(const std::vector<std::pair<long long, long long>>& ranges, long long first, long long last) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [&](const auto& range) { return first <= range.second && range.first <= last; });
}

}  // namespace

std::optional<MeshBlocksOutline> OutlineMeshBlocks(const std::vector<MeshBlockRequest>& requests) {
    MeshBlocksOutline outline;
    MeshBlockCounts total;
    int maxNode = 0, maxElement = 0;
    std::vector<std::pair<long long, long long>> nodeRanges, elementRanges;
    std::set<int> claimed;  // body and entity ids, as the mesh claims them
    for (const MeshBlockRequest& request : requests) {
        MeshBlockPlan plan;
        try {
            plan = PlanMeshBlock(request, total, maxNode, maxElement);
        } catch (const HostSimMeshError&) {
            return std::nullopt;
        }
        const long long lastNode = plan.firstNode + plan.counts.nodes - 1;
        const long long lastElement = plan.firstElement + plan.counts.elements - 1;
        if (Overlaps(nodeRanges, plan.firstNode, lastNode) ||
            Overlaps(elementRanges, plan.firstElement, lastElement) || !CoordinatesStayFinite(request) ||
            request.bodyMeshId == 0 || !claimed.insert(request.bodyMeshId).second)
            return std::nullopt;
        // A solid's six sides; a sheet's face, then its four edges.
        const int entities = plan.sheet ? 5 : 6;
        for (int e = 0; e < entities; ++e) {
            if (!claimed.insert(plan.firstEntity + e).second) return std::nullopt;
            outline.entities[plan.firstEntity + e] =
                plan.sheet && e > 0 ? HostSimMesh::GeometryKind::kEdge : HostSimMesh::GeometryKind::kFace;
        }
        nodeRanges.emplace_back(plan.firstNode, lastNode);
        elementRanges.emplace_back(plan.firstElement, lastElement);
        total = total + plan.counts;
        maxNode = std::max(maxNode, static_cast<int>(lastNode));
        maxElement = std::max(maxElement, static_cast<int>(lastElement));
        outline.blocks.push_back(
            {request.bodyMeshId, plan.sheet, request.origin, request.size, plan.firstEntity});
    }
    return outline;
}
