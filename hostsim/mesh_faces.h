// How the simulated host numbers the faces of its elements and which nodes each face has.
// Face k of an element type is a list of positions into the element's node list: corner
// nodes first, in an order whose normal points out of a right-handed solid, then the
// mid-side nodes of the face's edges in the same order. The deck writer's face-number map
// relies on this numbering (see docs/case-format/mesh.md).
#pragma once

#include <span>
#include <vector>

// Number of faces of a host element type (0 for lines, points and unknown codes).
int HostFaceCount(int elementType);
// Positions (into the element's node list) of the nodes of face k; empty for a face the type
// lacks.
std::span<const int> HostFaceNodePositions(int elementType, int faceIndex);
// Number of nodes a host element type has; -1 for an unknown code.
int HostElementNodeCount(int elementType);
// Facet type code (14, 4, 16 or 6) of a face with that many nodes; -1 otherwise.
int FacetTypeOfFaceNodeCount(int nodeCount);
