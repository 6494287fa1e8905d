// Resolving a scoping reference (geometric face, edge, vertex or body, or a set of mesh
// elements or element faces) into mesh node numbers, element numbers and element faces.
#pragma once

#include <set>
#include <vector>

#include "foundation/jx_list.h"
#include "host/mesh.h"
#include "platform/com.h"

// Node numbers of a geometric entity in the mesh's order (appended); E_FAIL when the mesh
// has no data interface or the query fails.
[[nodiscard]] HRESULT GetScopingNodeIds(IHostMesh* mesh, int entityId, std::vector<int>& nodes);
[[nodiscard]] HRESULT GetScopingNodeIds(IHostMesh* mesh, const JXReference& reference,
                                        std::vector<int>& nodes);

// The end nodes of an edge set: the nodes of the set whose attributes carry the end flag.
// One such node gives it twice; two give the smaller, then the larger. Otherwise both are -1
// and the answer is E_FAIL.
[[nodiscard]] HRESULT GetFlaggedNodesOfSet(IHostMesh* mesh, const std::set<int>& nodes, int* first,
                                           int* second);

// Element numbers of the scope, appended grouped by element type code 0 to 31.
[[nodiscard]] HRESULT GetScopingIdsByKind(IHostMesh* mesh, const JXReference& reference,
                                          std::vector<int>& elements);

// GetScopingFaces's answer for an edge that only solid elements hold: the edges of a solid
// element are none of its faces, so such an edge cannot be written as element faces.
constexpr HRESULT kE_SolidElementEdge = MakeHResult(0x80040201u);

// Element faces of the scope as two parallel lists (appended): element numbers and solver
// face numbers (for an edge scoping the edge number of the first shell, plane or line element
// on each mesh edge, from 1; kE_SolidElementEdge when only solid elements hold one).
[[nodiscard]] HRESULT GetScopingFaces(IHostMesh* mesh, const JXReference& reference,
                                      std::vector<int>& elements, std::vector<int>& faces);
