// The shape, order, analysis kind and planar behaviour of the element population being
// written, and the tables keyed by the host's element type codes: node counts, the host code
// of a shape and order, and the map between host and solver face numbers.
#pragma once

class CElementWrapper {
  public:
    enum Shape : int {
        kPoint = 0,
        kLine = 1,
        kTriangle = 2,
        kQuadrilateral = 3,
        kTetrahedron = 4,
        kTetrahedronAlias = 5,
        kHexahedron = 6,
        kWedge = 7,
        kPyramid = 8,
    };

    CElementWrapper() = default;
    virtual ~CElementWrapper() = default;
    CElementWrapper(const CElementWrapper&) = default;
    CElementWrapper& operator=(const CElementWrapper&) = default;

    void SetOrder(const int* value) { order = *value; }
    void SetShape(const int* value) { shape = *value; }
    void SetAnalysisKind(const int* value) { analysisKind = *value; }
    void SetPlanarOption(const int* value) { planarOption = *value; }

    // Host element type of the current shape and order; -1 for points, lines and others.
    int GetHostElementType() const;
    // Linear pyramids are refused by the eigen analysis (kind 2).
    bool AllowsPyramids() const;

    // Solver face number (from 1) of a host face index (from 0); -1 when the type has no such face.
    static int ToDeckFaceNumber(int hostFace, int elementType);
    // Host face index of a solver face number; -1 where there is none.
    static int ToHostFaceNumber(int deckFace, int elementType);
    // Tetrahedra, hexahedra, wedges and pyramids, whose edges are no faces of theirs.
    static bool IsSolidType(int elementType);
    // Node and corner-node counts of a host element type; both -1 for an unknown code.
    static void GetNodeCounts(int elementType, int* nodeCount, int* cornerCount);
    // How many face indices the scoping resolver probes for an element of the type; -1 none.
    static int GetFaceProbeCount(int elementType);

    int order = 0;  // 0 linear, 1 quadratic
    int shape = kLine;
    int analysisKind = 0;  // HostAnalysisKind
    int planarOption = 4;  // 0 membrane, 1 axisymmetric, 2 plane strain, 3 generalized, 4 shell
};
