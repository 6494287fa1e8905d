// Structured blocks of elements for the simulated host, so that tests and benchmarks need
// no large case files.
#pragma once

#include <array>
#include <string>

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

// Adds the block's nodes, elements, body (and part when new) and geometric entities.
// Throws HostSimMeshError for a bad request, numbers that collide with the mesh, or a block
// that would take the mesh past the generated counts above (nothing is added then).
void GenerateMeshBlock(HostSimMesh& mesh, const MeshBlockRequest& request);
