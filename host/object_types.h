// The host's numbering of what it hands the add-in: the type of each object of its object table
// and tree, the load type code of each load, the kind of geometry a scoping is made of, and the
// kind of a body. The deck writers, the settings object and the file-backed host all speak it.
#pragma once

// Host load type codes: what IHostLoad::GetLoadType answers and what the object table keys a
// load's record by. A separate numbering from the host object types below.
enum HostLoadType : int {
    kLoadTypePressure = 1,
    kLoadTypeForcePerArea = 2,
    kLoadTypeTemperature = 3,  // a thermal analysis's imposed temperature
    kLoadTypeForce = 4,
    kLoadTypeRemoteForce = 5,
    kLoadTypeDirectedLineLoad = 18,
    kLoadTypeDisplacement = 19,
    kLoadTypeRemoteDisplacement = 20,
    kLoadTypeMoment = 21,
    kLoadTypeHeatFlux = 22,
    kLoadTypeAppliesAnywhere = 23,  // goes on any object; no writer takes it
    kLoadTypeHeatFlow = 24,
    kLoadTypeHeatFlowOnEntities = 25,  // on faces, or on edges of a two-dimensional model
    kLoadTypeBodyHeat = 26,
    kLoadTypeRotationalVelocity = 30,
    kLoadTypeAcceleration = 31,
    kLoadTypeOtherDisplacement = 42,      // written with kLoadTypeDisplacement as one list
    kLoadTypeStructuralTemperature = 53,  // a structural analysis's nodal temperature
    kLoadTypeLineLoad = 61,
};

// Host object types: the condition type of a support or motion, the type of an entry of the
// object table, of a child a host object lists, or of an object of the host's tree.
enum HostObjectType : int {
    kHostRemoteMassType = 45,
    kHostAttachedObjectType = 135,   // a named child with arguments, attached to another object
    kHostStepCountParentType = 415,  // its children take a step count
    kHostStepLoadType = 423,         // per-step objects with add/remove step
    kHostAnalysisSettingsType = 429,
    kHostStepSupportType = 431,  // the same
    kHostCouplingConditionType = 436,
    kHostFixedSurfaceType = 510,
    kHostFixedEdgeType = 511,
    kHostFixedVertexType = 512,
    kHostDisplacementSurfaceType = 513,
    kHostDisplacementEdgeType = 514,
    kHostDisplacementVertexType = 515,
    kHostFrictionlessType = 518,
    kHostCylindricalType = 519,
    kHostSimpleEdgeType = 526,
    kHostSimpleVertexType = 527,
    kHostFixedRotationType = 529,
    kHostStepHistoryType = 546,  // per-step rows of its own kind
    kHostVelocitySurfaceType = 547,
    kHostVelocityEdgeType = 548,
    kHostVelocityVertexType = 549,
    kHostTabularThermalLoadType = 554,
    kHostSymmetryRegionType = 585,
};

// The kind of geometry a scoping is made of, decided by its first reference (ReferenceKindOf).
enum HostGeometryKind : int {
    kGeometryNone = 0,
    kGeometryBodies = 1,
    kGeometryFaces = 2,
    kGeometryVertices = 4,
    kGeometryEdges = 5,
};

// The kind of a body record.
enum HostBodyKind : int {
    kBodySolid = 0,
    kBodySurface = 1,  // a body of a two-dimensional model, or a shell
    kBodyLine = 3,
};
