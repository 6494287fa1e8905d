// A case folder as the file-backed host knows it: the model representation's path and what the
// host would answer for it, read from host.json, with the case's mesh (the "mesh" section) and
// material library (MatML.xml) read by their own loaders in this folder and kept here.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "foundation/analysis_kind.h"
#include "foundation/geometry.h"
#include "host/material.h"
#include "host/model_records.h"
#include "host/object_table.h"
#include "host/scoping_record.h"
#include "host/selection_resolver.h"
#include "host/solve_job.h"
#include "hostsim/case_mesh.h"
#include "hostsim/parameter_data.h"
#include "platform/com.h"

class JsonAt;
class HostSimGeometry;

// One object of the host's object model (what the applet finds by id).
struct HostSimObject {
    int id = 0;
    int type = 0;
    std::wstring name;
    // The solver an analysis object is solved with (IHostAnalysisSolver); an object without one
    // does not answer that interface.
    std::optional<std::wstring> solverName;
    std::map<int, int> properties;
    std::map<int, std::vector<int>> idLists;
    std::vector<int> children;
    // The entity text (the object id of a point mass's remote point, a selection child's HTML
    // value); none when the case gives no "text".
    std::optional<std::wstring> text;
    // A number or a text each, in the user's order.
    std::vector<std::variant<double, std::wstring>> arguments;
    // Set only for a coordinate-system object (from the case's coordinate systems).
    std::optional<int> coordinateSystemNumber;

    // What the object answers to an analysis-settings object (hostsim/analysis_facets.h; the
    // members are described in docs/case-format/analysis-objects.md). The object answers an
    // interface only when its entry has the member; the step counts and times change as the
    // add-in calls, and every later question sees the change.
    struct TimeTableEntry {
        int kind = 0;
        std::vector<double> times;
    };
    struct RegionState {
        int kind = 0;
        bool suppressed = false;
    };
    struct LoadState {
        int hostType = 0;
        bool suppressed = false;
        int rows = 1;
        bool scopedToBody = false;
    };
    struct BodyState {
        bool suppressed = false;
        bool flexible = true;
    };
    std::optional<std::uint32_t> steps;
    std::optional<std::uint32_t> stepCount;
    // The most steps the object takes; more are refused.
    std::optional<std::uint32_t> stepLimit;
    std::optional<std::vector<TimeTableEntry>> timeTable;
    std::optional<RegionState> contactRegion;
    std::optional<RegionState> cyclicRegion;
    std::optional<LoadState> loadObject;
    // Load kind -> id of an object with a load state.
    std::optional<std::map<int, int>> loadsByKind;
    std::optional<int> linkedObjectId;
    std::optional<BodyState> body;
    // The analysis kinds in which the material behaves nonlinearly.
    std::optional<std::vector<int>> materialNonlinearKinds;
    // The last time the add-in showed on the object's time display.
    std::optional<double> currentTime;
};

struct HostSimUnits {
    int currentSystem = 0;
    // Host unit-system id -> solver unit-system code.
    std::map<int, int> solverSystems;
    bool anglesInDegrees = true;
    bool rotationalVelocityInRpm = false;
};

// A selection the host resolves by its reference text.
struct HostSimSelection {
    std::wstring reference;
    std::vector<SelectedEntity> entities;
    // Ascending, without repeats.
    std::vector<int> nodes;
    // The nodes are those of the entities in a mesh not generated yet: `nodes` is empty, and
    // they are taken from the mesh when the selection is resolved.
    bool nodesFromMesh = false;
};

struct HostSimCase {
    std::filesystem::path folder;
    std::filesystem::path caeRepPath;
    std::filesystem::path hostJsonPath;

    int analysisKind = kAnalysisStructural;
    bool is2D = false;
    int partCount = 1;
    int resultSetCount = 1;
    int deckUnitSystem = 11;
    int modelUnitSystem = 11;
    int modelValue = 0;
    std::optional<ReferenceTemperatureRecord> referenceTemperature;
    std::optional<SolveJobRecord> solveJob;
    std::optional<HostObjectTable> objectTable;
    std::optional<ContactList> contacts;
    std::vector<SymmetryRegionRecord> symmetryRegions;
    std::vector<ScopingRecord> namedSelections;
    std::vector<BodyRecord> bodies;
    std::vector<SpringRecord> springs;
    std::vector<CoordinateSystemData> coordinateSystems;
    std::vector<CoordinateSystemData> meshCoordinateSystems;
    std::vector<CommandSnippet> snippets;
    std::map<std::string, std::string> namedOptions;
    // What the host framework around a loaded add-in answers (hostsim/addin_host.h): the
    // options of the host's root by name ("PID_Sig_Digits"), and the texts of the applet
    // application's own string table.
    std::map<std::wstring, VariantHolder> hostOptions;
    std::map<std::wstring, std::wstring> hostStrings;
    // Data-source code -> id of an object of the object model.
    std::map<int, int> hostObjectsByCode;
    std::vector<HostSimObject> objects;
    HostSimUnits units;
    // Bytes of a saved per-node constraint table, when the case names one.
    std::optional<std::vector<std::uint8_t>> nodeConstraintStream;
    std::vector<HostSimSelection> selections;
    // Null when host.json has no "mesh" section; a section of generated blocks alone is
    // generated at its first question (hostsim/case_mesh.h).
    HostSimCaseMesh mesh;
    // Null when host.json has no "geometry" section and the mesh no generated block.
    std::shared_ptr<const HostSimGeometry> geometry;
    // Null when the case folder has no MatML.xml.
    ComPtr<IHostMaterialLibrary> materialLibrary;
    // The study parameters the parameter-list component answers, in file order.
    std::vector<HostSimParameter> parameters;
};

// Reads a case folder: CAERep.xml must exist, host.json must be well formed, and MatML.xml, when
// the folder has one, must be a readable material library. Throws HostCaseError naming the file,
// the place and the reason.
std::unique_ptr<HostSimCase> LoadHostCase(const std::filesystem::path& folder);
// The host.json part alone, from text (tests); `file` names it in errors.
void ReadHostJson(const std::string& text, const std::string& file, HostSimCase& hostCase);

// Section readers, one per family of host.json.
void ReadSolveSection(const JsonAt& root, HostSimCase& hostCase);
void ReadModelRecordSections(const JsonAt& root, HostSimCase& hostCase);
void ReadObjectTableSection(const JsonAt& root, HostSimCase& hostCase);
void ReadObjectModelSection(const JsonAt& root, HostSimCase& hostCase);
// Needs the mesh read first: selections without a node list take the nodes of their entities.
void ReadSelectionsSection(const JsonAt& root, HostSimCase& hostCase);
// Needs the mesh and the "bodies" records read first: generated blocks bring their sides.
void ReadGeometrySection(const JsonAt& root, HostSimCase& hostCase);
// Needs the object table read first: each load hangs on the record of its id.
void ReadLoadsSection(const JsonAt& root, HostSimCase& hostCase);
// Needs the object model read first: an object's solver name goes on its "objects" entry.
void ReadAddinHostSection(const JsonAt& root, HostSimCase& hostCase);
ScopingRecord ReadScoping(const JsonAt& at);
CoordSystemSafe ReadFrame(const JsonAt& at);
