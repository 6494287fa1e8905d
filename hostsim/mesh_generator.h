// Structured blocks of elements for the simulated host, so that tests and benchmarks need
// no large case files.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/mesh_model.h"

struct MeshBlockRequest {
    // "hexa8", "hexa20", "tetra4", "tetra10" (each cell cut into six tetrahedra) or "shell4"
    // (a sheet in the plane z = origin z; cells[2] is ignored).
    std::string element = "hexa8";
    std::array<int, 3> cells{1, 1, 1};
    std::array<double, 3> origin{0.0, 0.0, 0.0};
    std::array<double, 3> size{1.0, 1.0, 1.0};
    int partMeshId = 1;
    int bodyMeshId = 1;
    int firstNode = 0;     // 0: one above the highest node number so far
    int firstElement = 0;  // 0: one above the highest element number so far
    // Ids of the block's geometric faces: solids x-min, x-max, y-min, y-max, z-min, z-max;
    // a sheet its face, then its edges y-min, x-max, y-max, x-min. 0: 100 * body + 1.
    int firstEntityId = 0;
};

// What a case's blocks may make together: a small request can ask for a mesh far larger than
// memory, so the count is bounded per case, mid-side nodes included.
inline constexpr long long kMaxGeneratedNodes = 10'000'000LL;
inline constexpr long long kMaxGeneratedElements = 10'000'000LL;

// The nodes and elements a block makes (grid and mid-side nodes); a count too large for the
// type stays at its largest value.
struct MeshBlockCounts {
    long long nodes = 0;
    long long elements = 0;
};
MeshBlockCounts CountMeshBlock(const MeshBlockRequest& request);
// Throws HostSimMeshError naming the bound when a case's blocks together would make more than
// the counts above.
void CheckGeneratedCounts(const MeshBlockCounts& total);
// Adds counts, held at the largest value instead of overflowing.
MeshBlockCounts operator+(const MeshBlockCounts& a, const MeshBlockCounts& b);

// Where a block's numbers go in a mesh that holds `before` nodes and elements, the highest
// numbers so far given: what GenerateMeshBlock makes of the request. Throws HostSimMeshError for
// a bad request, a mesh the block would take past the generated counts above, or numbers that
// would pass the largest.
struct MeshBlockPlan {
    bool sheet = false;
    MeshBlockCounts counts;
    int firstNode = 0;  // the block's nodes are numbered on from here, as are its elements
    int firstElement = 0;
    int firstEntity = 0;
};
MeshBlockPlan PlanMeshBlock(const MeshBlockRequest& request, const MeshBlockCounts& before, int maxNode,
                            int maxElement);

// Adds the block's nodes, elements, body (and part when new) and geometric entities.
// Throws HostSimMeshError for a bad request, numbers that collide with the mesh, or a block
// that would take the mesh past the generated counts above (nothing is added then).
void GenerateMeshBlock(HostSimMesh& mesh, const MeshBlockRequest& request);

// What blocks make, known before they are made: the record of each block as the mesh keeps it,
// and the kind of each geometric entity.
struct MeshBlocksOutline {
    std::vector<HostSimMesh::GeneratedBlock> blocks;
    std::map<int, HostSimMesh::GeometryKind> entities;
};
// The outline of blocks generated one after the other into an empty mesh, when each of them is
// known to be made without a refusal (numbers, ids and coordinates checked against each other);
// none otherwise, and GenerateMeshBlock then says what is refused.
std::optional<MeshBlocksOutline> OutlineMeshBlocks(const std::vector<MeshBlockRequest>& requests);
