// Abstract base of the analysis feeders. One feeder lives for one solve request: it holds
// the input and output representations, the host's data source and return package, the deck
// file, the wrappers, the settings rebuilt from the model and the saved constraint table,
// and it writes the deck sections every analysis shares, in the order the analysis feeders
// call them: Open, SendModel, WriteBeginCommands, WriteTimeDefinitions, WriteReturn. Every
// per-solve object is owned by a member that frees it, so an early return leaves nothing
// behind, and no exception leaves an operation that answers a code.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "caerep/core/cae_database.h"
#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "deck/late_owned.h"
#include "deck/model/remote_point_record.h"
#include "deck/node_constraint_table_holder.h"
#include "deck/object_type_table.h"
#include "deck/return_codes.h"
#include "host/mesh.h"
#include "host/model_records.h"
#include "host/object_types.h"
#include "host/selection_resolver.h"
#include "platform/com.h"
#include "platform/locale.h"
#include "settings/solution_settings.h"

namespace NCAERep {
class CCAERep;
class CCAERepBase;
}  // namespace NCAERep
class TRVDataSourceItf;
class ReturnPackage;
class CMeshWrapper;
class CBodyAttributeWrapper;
class NodeConstraintTable;
class EntityGeometry;
struct IHostGeometry;

class DorvixFeeder : public DeckFileOwner {
  public:
    DorvixFeeder(const DorvixFeeder&) = delete;
    DorvixFeeder& operator=(const DorvixFeeder&) = delete;
    ~DorvixFeeder() override;

    // Writes the deck and runs the solver: stores the two arguments and runs the analysis's
    // sequence of steps. 0 or the first code of a failed step.
    [[nodiscard]] virtual int Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) = 0;
    bool IsBucklingAnalysis() override { return AnswerNo(); }
    bool IsPrestressedStatic() override { return AnswerNo(); }
    virtual bool HasPrestress() { return AnswerNo(); }

    int GetNumberOfSteps() const override { return numberOfSteps_; }
    bool IsTransientAnalysis() const;
    bool IsPrestressedModalIntent() const override;
    bool UsesLargeDeformation() const;
    bool UseLoadCases() const;
    // 36 when the settings have no such step (out unchanged), else 0 and the step's end time;
    // modal and buckling settings have one step, ending at 1.0.
    [[nodiscard]] int GetStepEndTime(int step, double& endTime) const;

    // 1 with the option's text when the host defines the named option, else 0 (text empty).
    [[nodiscard]] int GetNamedOption(const std::string& name, std::string& text) const;
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        return GetNamedOption(name, text) == 1;
    }
    // Adds a message to the output representation; nothing without one.
    void PostHostMessage(const std::wstring& text, const std::wstring& type) override;

    // --- deck open (feeder_open.cpp) ---
    // Sets the thread locale, loads the saved constraint table, takes the object-type table,
    // the mesh and the settings of the loaded model, creates the deck file (the deck
    // counters start again), opens "dorvix.dat" and sets the wrappers up from the data
    // source. 0, 1 cancelled, 3 deck not created, 25 missing host data, 36 settings, 44 an
    // exception (its reason posted as an error), or the code of a set-up step.
    [[nodiscard]] int Open();
    // Hands the wrapper the bodies, their names, materials and frames: 0, 25 or its code.
    [[nodiscard]] int InitBodyAttributes();
    // Hands the mesh wrapper the host mesh and the unit systems: 0, 25, or 41 when the
    // host mesh is refused.
    [[nodiscard]] int InitMesh();
    // Non-linear when a material is or the settings ask for large deformation. 0, or 25
    // before the bodies are set up.
    [[nodiscard]] int UpdateNonlinearFlag();
    // Element groups of one part; the group numbers run on from the part before. 25 before
    // the deck is opened.
    [[nodiscard]] int SendPartMesh(int part);
    // When the deck was opened; none before Open set the deck up.
    std::optional<std::chrono::system_clock::time_point> GetDeckWriteStart() const { return deckWriteStart_; }
    int GetGroupCounterCarry() const { return groupCounterCarry_; }

    // --- model section (feeder_send_model.cpp) ---
    // The model part of the deck: the geometry and units comments, nodes, elements, the
    // element groups of every part, the user frames, the materials and their snippets, the
    // contacts, the named-selection and (option "create components") load/support
    // components. Progress is reported at stage 150 from 5 to 70. 0, 1 cancelled, 25 before
    // the deck is opened, 44 an exception, or the first code of a writer.
    [[nodiscard]] int SendModel();
    // The deck's closing "RETURN". Always 0.
    [[nodiscard]] int WriteReturn();

    // --- model load and readers (feeder_model_load.cpp) ---
    // Loads the input representation, creates the selection resolver and hands it the model,
    // imports the external loads and prepares the output representation (which is never read:
    // the file at outputPath is replaced at close only when a message was posted). 0, 1 when
    // the user cancelled, 44 when the model cannot be loaded or lacks its solver object, or
    // when the representation fails; the reason is posted as an error ("The model cannot be
    // loaded: ...") and reaches the file at outputPath.
    [[nodiscard]] int LoadCAERepresentation(const std::wstring& inputPath, const std::wstring& outputPath);
    // The same for the host's two strings; a null string reads as empty.
    [[nodiscard]] int LoadCAERepresentation(BSTR inputPath, BSTR outputPath);
    // Builds the settings object for the model's analysis and reads its XML: 0, or 36 without
    // a solver object, for an analysis the add-in does not solve, or (with an error message)
    // when the solver object has no settings element. An empty settings element keeps the
    // defaults. What the settings XML holds that cannot be read does not stop the solve: the
    // reason is posted as a warning and kept.
    [[nodiscard]] int ReadSolverRep();
    // Posts why the model is refused and answers kRC_ModelLoadFailed.
    [[nodiscard]] int RefuseModel(const std::wstring& reason);
    // Why the last ReadSolverRep could not read the settings XML in full; empty when it could.
    const std::wstring& GetSettingsReadProblem() const { return settingsReadProblem_; }
    // Takes the host mesh of the model's first mesh object: 0, or 25 when there is none.
    [[nodiscard]] int GetMeshRep();
    // The value of the first analysis parameter whose name contains `name` (both compared in
    // lower case): 0, or 36 when the model has no such parameter.
    [[nodiscard]] int ReadAnalysisParameters(const std::wstring& name, double& value) const;
    ISelectionResolver* GetSelectionResolver() const { return selectionResolver_.Get(); }
    IHostMesh* GetHostMesh() const { return hostMesh_.Get(); }

    // --- command snippets (feeder_snippets.cpp) ---
    // Each writes nothing without a data source or an open deck.
    void WriteCommandSnippet(const CommandSnippet& snippet);
    // Every snippet with the key, in the host's order.
    void WriteObjectSnippets(int key);
    void WriteObjectSnippetsForKey(int key, int objectId);
    // The snippets of the key that belong to the step or to every step.
    void WriteStepSnippets(int key, int step);
    // True when a snippet of the key and object holds a line that is not a comment.
    bool SnippetHasCommands(int key, int objectId) const;
    // Writes the text of the named option "begin_commands" as one deck line. Always 0.
    [[nodiscard]] int WriteBeginCommands();

    // --- scoping and load magnitudes (loads/scoping_and_magnitude.cpp) ---
    // The entities of the object's selection (the first text of its "Scoping"), in the host's
    // order: each reference once, each entity's id (0 when it has none) every time it comes.
    // 0, or 44 without a selection resolver, object, scoping text or resolved entity.
    [[nodiscard]] int ReadScoping(const NCAERep::CIdentity& object, JXReferenceList& references,
                                  JXList<unsigned int>& ids);
    // The magnitude "Magnitude" or "Scalar2" of a load as (abscissa, value) pairs one after the
    // other: a time table's active rows (values times scale) held to the end of the last step,
    // a temperature table's rows, or else the constant at 0 and at every step end. byTime tells
    // whether the abscissas are times. 0; 39 for another name or no pair; 44 without the load,
    // its "LoadStep" child or the step of a row; 36 for a missing step end time.
    [[nodiscard]] int ReadLoadMagnitude(const NCAERep::CIdentity& load, const std::wstring& name,
                                        double scale, std::vector<double>& pairs, bool* byTime = nullptr);

    // --- load queries and remote masses (loads/load_queries.cpp, model/feeder_remote_masses.cpp) ---
    // Values are asked of the host's loads in the deck's unit system. A step status tells how a
    // load or component's activity changes at a step (steps from 1).
    enum StepStatus : int {
        kStepUnchanged = 0,    // as in the step before; also inactive at step 1, or no load
        kStepActivated = 1,    // active for the first time
        kStepReactivated = 2,  // active again after an inactive step
        kStepDeactivated = 3,  // inactive after an active step
    };
    // The HostGeometryKind of the object; kGeometryNone for an unknown id or an object without
    // geometry.
    int GetObjectGeometryKind(int objectId) const;
    // Whether a load of the host load type code can go on the object: a pressure, a heat flux or
    // a load that applies anywhere on any object, a heat flow on entities on faces, or on edges of
    // a two-dimensional model, no other type.
    bool IsLoadTypeApplicable(const int& loadType, int objectId) const;
    // A query the host refuses counts as inactive.
    int GetLoadStepStatus(IUnknown* load, const int& step) const;
    // As GetLoadStepStatus, for the load's variable of the index. A variable defined over
    // space rather than time takes its activity from the time factor (variable 10).
    int GetComponentStepStatus(IUnknown* load, int variable, const int& step) const;
    // The load's direction (properties 715 to 717). 0, or 39 (direction unchanged, the load
    // named in an error message) when the load or a property cannot be read.
    [[nodiscard]] int GetLoadDirection(IUnknown* load, double direction[3]);
    // The value of the load's variable of the id and flag: its first entry at abscissa 0.
    // 0, or 39 (value unchanged, the load named in an error message) when the load, the
    // variable, its entry or the value cannot be had.
    [[nodiscard]] int GetLoadVariableValue(IUnknown* load, const int& id, const std::int16_t& flag,
                                           double& value);
    // The mesh nodes of the object's geometry, each once. 0, or 41 at the first reference
    // the host mesh refuses (the nodes of the references before it stay).
    [[nodiscard]] int GetObjectNodeSet(const ObjectTypeRecord& record, std::set<int>& nodes) const;
    // HostLoadDefinitionKind of a load variable; 0 when it cannot be read.
    static int GetVariableDefinitionKind(IUnknown* variable);
    // The definition kind of the load's variable of the index (0 when unreadable). 0, or 25
    // (the load named in an error message) when the load has no such variable.
    [[nodiscard]] int GetLoadVariableDefinitionKind(IUnknown* load, int variable, int& kind);
    // The point masses (kHostRemoteMassType) as mass elements on their remote points' nodes, each
    // with its inertia frame when it has inertia in a frame other than the global one. 0, or
    // 25 when a mass's node, element number or the deck's objects cannot be had; the masses
    // before it stay written.
    [[nodiscard]] int WriteRemoteMasses();

    // --- load histories, functions and the structural load writers (loads/load_functions.cpp,
    //     loads/nodal_temperature_loads.cpp, loads/pressure_loads.cpp, loads/force_loads.cpp,
    //     loads/remote_point_loads.cpp, loads/body_loads.cpp, loads/line_loads.cpp,
    //     loads/displacement_loads.cpp) ---
    // A load reaches the deck per step with its value at the step's end (load-case form) or once,
    // at step 1, as 1.0 times a ".FCT" function over every step (function form, UseLoadCases
    // false). A component that is not imposed travels as kFreeComponent; it is never scaled, is
    // left out of per-component lines and written as 0 in value lists. No non-finite number is
    // ever written: such a value ends the writer with 39 and a message naming the load.
    static constexpr double kFreeComponent = 1.7976931348623157e308;
    // (time, value) pairs one after the other, times ascending and unique.
    using LoadHistory = std::vector<double>;
    // One per step from step 1: 1 active, 0 not.
    using StepFlags = std::vector<int>;
    // The load's activity per step; the first failing host answer, else the host's last one
    // (S_OK).
    [[nodiscard]] HRESULT GetLoadActiveSteps(IUnknown* load, StepFlags& flags) const;
    // The same for the load's variable of the id (E_FAIL when the load has none).
    [[nodiscard]] HRESULT GetComponentActiveSteps(IUnknown* load, int componentId, StepFlags& flags) const;
    // The variable's history from 0 to the last step's end, each value times scale: an
    // expression at the load's sampling points and every step end, a table at its rows up to
    // the last step end and every step end. S_OK; E_NOTIMPL for a variable not of time; E_FAIL for
    // anything the host refuses or a value that is not finite.
    [[nodiscard]] HRESULT SampleLoadHistory(IUnknown* variable, int loadId, double scale,
                                            LoadHistory& history);
    // One ".FCT" block; with flags, only the segments of active steps. S_OK or E_FAIL (nothing
    // written) when a step's end time is missing.
    [[nodiscard]] HRESULT WriteFunction(const LoadHistory& history, const StepFlags* flags, int functionId);
    // Samples the variable and writes it as the deck's next function. E_FAIL without an active
    // step (no id drawn), or the sampling's or writing's failure.
    [[nodiscard]] HRESULT CreateLoadFunction(IUnknown* variable, int loadId, double scale,
                                             const StepFlags* flags, int& functionId);
    // One function per imposed component (x, y, z, and with rotations rx, ry, rz), each after its
    // comment line; ids -1 where none was written. In 2-D only the in-plane components: x, y and
    // rz, or rz alone for a moment. S_OK or E_FAIL.
    [[nodiscard]] HRESULT CreateComponentFunctions(IUnknown* load, int loadId, double scale,
                                                   bool withRotations, std::vector<int>& functionIds,
                                                   bool moments = false);
    // One function for the load's variable of the index, over every step.
    [[nodiscard]] HRESULT CreateVariableFunction(IUnknown* load, int variableIndex, int loadId, double scale,
                                                 int& functionId);
    // The component values at the step's end; kFreeComponent for a free component and, in 2-D,
    // for one out of the plane. 0, or 39 (the load named), also for a missing step.
    [[nodiscard]] int GetLoadComponentValuesAtStep(int step, IUnknown* load, std::vector<double>& values,
                                                   bool withRotations, bool moments = false);
    // Nodal temperatures (kLoadTypeStructuralTemperature, or kLoadTypeTemperature in a thermal
    // deck) as ".CLT TFX NOEUD" blocks. 0, 25, 39.
    [[nodiscard]] int WriteNodalTemperatureLoads(int step, bool structural);
    // The load's element faces (element edges in 2-D, where a reference other than an edge
    // fails). The first failure, else S_OK; kE_SolidElementEdge after its message names the load.
    [[nodiscard]] HRESULT GetLoadScopingFaces(const ObjectTypeRecord& load, std::vector<int>& elementIds,
                                              std::vector<int>& faceNumbers);
    // The nodes of the load's edges: inner nodes at full weight, end nodes at half weight, an end
    // shared by two edges at full weight. The first failure, else S_OK.
    [[nodiscard]] HRESULT GetEdgeLoadNodeSets(const ObjectTypeRecord& load, std::set<int>& fullNodes,
                                              std::set<int>& halfNodes) const;
    // The writers of the load case, in the order the structural feeder calls them; each 0, 25,
    // 39 or the code of a query it relies on.
    [[nodiscard]] int WritePressureLoads(int step);
    // A force, or a force per area.
    [[nodiscard]] int WriteSurfaceForceLoads(int step, int loadType);
    // A force, or a moment.
    [[nodiscard]] int WriteVertexForceLoads(int step, int loadType = kLoadTypeForce);
    // A moment, or a remote force.
    [[nodiscard]] int WriteRemotePointLoads(int step, int loadType);
    [[nodiscard]] int WriteRemoteDisplacements(int step);
    [[nodiscard]] int WriteAccelerations(int step);
    [[nodiscard]] int WriteAcceleration(int step, int loadId, IUnknown* load);
    [[nodiscard]] int WriteRotationalVelocity(int step);
    [[nodiscard]] int WriteDisplacementLoads(int step);
    [[nodiscard]] int WriteDirectedLineLoads(int step);
    [[nodiscard]] int WriteLineLoads(int step);

    // --- time definitions (feeder_time_definitions.cpp) ---
    // The time definitions of a linear multi-step static run, or the initial-computation block
    // of a non-linear or transient one. 0, or 36 when the settings lack the solver controls or
    // a step's end time.
    [[nodiscard]] int WriteTimeDefinitions();

    // --- boundary-condition pre-pass (constraints/feeder_boundary_conditions.cpp and
    // constraints/feeder_prescribed_motions.cpp) ---
    // Fills the node constraint table from the model's boundary conditions and consolidates
    // it: 0, the walk's code, or 40 (with a message naming the node) when a node's conditions
    // cannot be expressed.
    [[nodiscard]] virtual int CheckBoundaryConditions();
    // The walk over "BCRep": 0, 44 (with a message) without a resolver or the model's
    // attribute objects, or the first code of a collector.
    [[nodiscard]] int CollectBoundaryConditions();
    // Refills the set of sheet and wire body ids: 0, or 44 without the attribute objects.
    [[nodiscard]] int CollectSheetAndWireBodies();
    // Gives the nodes of the reference's entities on sheet and wire bodies rotations: 0 or 44.
    [[nodiscard]] int MarkShellNodes(const std::wstring& reference);
    // Dispatches a "Support" by its name: 0 or a code.
    [[nodiscard]] int CollectSupport(NCAERep::CCAERepBase* support, bool is2D);
    [[nodiscard]] int CollectFixedSupport(NCAERep::CCAERepBase* support);
    [[nodiscard]] int CollectSimpleSupport(NCAERep::CCAERepBase* support);
    // The fixed and simple supports share their walk: the table operation adds the entries.
    using NodeSupportAdder = void (NodeConstraintTable::*)(std::uint32_t, std::uint32_t, std::int32_t,
                                                           const std::int32_t*);
    [[nodiscard]] int CollectNodeSupport(NCAERep::CCAERepBase* support, NodeSupportAdder add);
    [[nodiscard]] int CollectFixedRotation(NCAERep::CCAERepBase* rotation);
    // A frictionless or cylindrical support on one face (three dimensions) or one edge (plane).
    [[nodiscard]] int CollectDirectionalSupport(NCAERep::CCAERepBase* support, const SelectedEntity& entity,
                                                IHostMeshData* mesh, IHostGeometry* geometry);
    [[nodiscard]] int CollectDirectionalSupportInPlane(NCAERep::CCAERepBase* support,
                                                       const SelectedEntity& entity, IHostMeshData* mesh,
                                                       IHostGeometry* geometry);
    // A "Displacement" or "Velocity", entity by entity: 0 or a code.
    [[nodiscard]] int CollectPrescribedMotion(NCAERep::CCAERepBase* motion, bool is2D);
    // The motion's magnitude normal to the entity at each of its nodes.
    [[nodiscard]] int CollectNormalMotionOnEdge(NCAERep::CCAERepBase* motion, int entityId,
                                                IHostMeshData* mesh, const EntityGeometry& edge);
    [[nodiscard]] int CollectNormalMotionOnSurface(NCAERep::CCAERepBase* motion, int entityId,
                                                   IHostMeshData* mesh, const EntityGeometry& face);
    // The motion's components in its reference frame at each node of the entity.
    [[nodiscard]] int CollectComponentMotion(NCAERep::CCAERepBase* motion, int entityId, IHostMeshData* mesh);
    [[nodiscard]] int CollectSymmetryRegion(NCAERep::CCAERepBase* region);
    [[nodiscard]] int CollectCouplingCondition(NCAERep::CCAERepBase* condition);
    NodeConstraintTable* GetNodeConstraintTable() const { return nodeConstraintTable_.Get(); }
    // Host body ids of the model's sheet and wire bodies, as the last walk found them.
    const std::set<int>& GetSheetAndWireBodies() const { return sheetAndWireBodies_; }

    // --- user frames, components and springs (model/feeder_frames.cpp,
    //     model/feeder_components.cpp, model/feeder_springs.cpp) ---
    // The body wrapper's coordinate systems as ".FRAME" blocks, after one banner; nothing
    // without a system.
    void WriteUserCoordinateSystems();
    // One ".FRAME" block; nothing for a system without a deck frame number.
    void WriteFrame(const CoordinateSystemData& system);
    // The node frames of the constraint table's rotated nodes as one ".AXL" block, in
    // ascending node order; nothing without a rotated node. Always 0.
    [[nodiscard]] int WriteNodeRotations();
    // Each named selection whose name is a deck identifier: one of bodies as an element
    // union group, any other as a node group. Selections that resolve to nothing write
    // nothing. Always 0.
    [[nodiscard]] int WriteNamedSelections();
    // A numbered element group holding the element groups the mesh wrapper wrote for the
    // bodies. 0, or 25 for an empty id list or body table.
    [[nodiscard]] int WriteElementUnionGroup(const JXList<int>& bodyIds, const std::string& name);
    // A node group "N<id>" for every load and support of CollectLoadSupportIds.
    void WriteLoadSupportComponents();
    // The ids of the object-type table's loads and supports that may be sent as node
    // components, ascending.
    void CollectLoadSupportIds(JXIdList& ids) const;
    // The spring connections as ".MCE"/".MCC" spring elements. 0, 25 at a spring no longer
    // than the spot-weld minimum (later springs are not written), 41 when a spring element
    // or its two nodes cannot be found.
    [[nodiscard]] int WriteSprings();
    bool IsSpotWeldTooShort(const double endA[3], const double endB[3]) const;
    // The node number the entity's text names. 0, or 25 (node unchanged) when the entity
    // gives no text.
    [[nodiscard]] int GetEntityNodeNumber(int unused, IUnknown* entity, int& node) const;
    // Makes `key` look up the same node as the entity's node. 0, or 25 when the node is not
    // known or has no node lookup entry.
    [[nodiscard]] int RegisterEntityLookup(const int& key, IUnknown* entity);

    // --- contacts and constraint equations (contacts/contact_writer.cpp,
    //     contacts/contact_sides.cpp, contacts/constraint_equations.cpp) ---
    // The host's contact regions, each after a banner: a node group, a face group and a tie,
    // a contact element (non-linear chain) or contact properties (linear chain). Regions with
    // a reserved name are constraint equations and come first, except in tie-only mode (an
    // eigen run or a static run kept for a prestressed modal one), where every region is a
    // tie. The thermal feeder writes its own. 0, 1 cancelled, 25 (no contact list, a failed
    // node or face lookup, an unknown contact type), 28 (a target entity after the first is
    // not face-like), or the code of an equation.
    [[nodiscard]] virtual int WriteContacts();
    // One region of WriteContacts: written tells whether it counts for progress (a region
    // whose target is not face-like is skipped after its banner).
    [[nodiscard]] int WriteContactRegion(const ContactRegionRecord& region, bool tieOnly, bool& written);
    // The mean displacement of the source nodes along the axis of the name
    // "EqMoy_<frame>_<axis>" equals that of the target nodes (plus the offset), in the frame
    // when it is not 0. 0, or 25 for a name that does not parse, a failed node lookup, an
    // empty side or (with a message) an axis the model does not have.
    [[nodiscard]] int WriteAveragingEquation(const ContactRegionRecord& region);
    // Two-dimensional models only (otherwise 0 and nothing written): every target node is
    // held along the normal of the two-node source segment to the segment's nodes, weighted
    // by distance. 0, 25 for a failed node lookup, 102 when the source is not two nodes, 39
    // when the segment or a target node's distances vanish.
    [[nodiscard]] int WriteWeightingEquations(const ContactRegionRecord& region);
    // Reads the name as "EqMoy_<int>_<char>"; false when it does not.
    static bool ParseAveragingName(const std::string& name, int& frame, char& axis);
    // Contact type 2 named "EqMoy_<frame>_<X, Y or Z>".
    static bool IsAveragingEquation(const ContactRegionRecord& region);
    // Contact type 1 whose name starts with "WeightEq".
    static bool IsWeightingEquation(const ContactRegionRecord& region);
    // The mesh nodes of a side's entities, added to `nodes`. 0, or 25 when a lookup fails.
    [[nodiscard]] int CollectSideNodes(const ContactSide& side, std::set<int>& nodes) const;
    // The region's node group and face group, numbered from the selection-group counter.
    // 0, 25 for a failed lookup, 28 for a target entity that is not face-like.
    [[nodiscard]] int WriteContactGroups(const ContactRegionRecord& region, int& nodeGroup, int& faceGroup);
    // The region's command without option text; draws the tie or contact-element number it
    // writes. 0, or 25 for a contact type outside 1 to 5.
    [[nodiscard]] int BuildContactCommand(const ContactRegionRecord& region, bool tieOnly, bool butee,
                                          int nodeGroup, int faceGroup, std::string& command) const;
    // The option text of the region's command: the value of the add-in's "Contacts Default
    // Options" for the command ("STI", "MCT", "CPS"), else the built-in text; empty for none.
    std::string ContactOptionText(int contactType, bool tieOnly) const;
    // True when one of the host object's children of the contact-child type is named "butee"
    // in any case.
    bool HasButeeChild(int hostObjectId) const;

    // --- imported loads and thickness (loads/imported_*.cpp) ---
    // For every "ExternalLoad" below the root (its "Table" child, else its "sTable"), the data
    // of the time point that is the end time of the step being written: a banner with the
    // step number, then the table writer of its "ExternalLoadType". Every time point of every
    // load must be some step's end time. 0; 44 a load, its table or its time points missing;
    // 46 a time point that is no step's end time; 25 an unsupported type; 36 a missing step
    // end time; 25 without a deck.
    [[nodiscard]] int WriteImportedLoads(int step);
    // The nodal thicknesses of every "ImportedThickness" load (first time point of its table)
    // as ".PHP ELEMENT" lines of the elements whose nodes all carry one. 0; 44 a load, its
    // table or its time points missing; 39 value and "EntityId" columns that do not fit
    // (different lengths, a value that is not finite, an id that is no node number) or a mesh
    // query that fails.
    [[nodiscard]] int WriteImportedThickness();
    // The table writers read their columns at the time handed in (a double property) and
    // write nothing for a table that is missing or whose columns do not fit. Always 0 (44
    // when an exception leaves one). Node temperatures, in an eigen run only.
    [[nodiscard]] int WriteImportedTemperatureTable(const NCAERep::CCAERepBase& externalLoad,
                                                    const NCAERep::CPropertyValue& time);
    // Node temperatures of a thermal condition, in load-case or function form.
    [[nodiscard]] int WriteImportedTemperatureTables(const NCAERep::CCAERepBase& externalLoad,
                                                     const NCAERep::CPropertyValue& time);
    // Pressures, or surface loads along each row's direction, per element face (per element
    // on shells, per edge in a 2-D model). Rows whose face has no deck face are left out; a
    // mesh query that fails writes nothing.
    [[nodiscard]] int WriteImportedSurfaceLoadTables(const NCAERep::CCAERepBase& externalLoad,
                                                     const NCAERep::CPropertyValue& time, int step);
    // The end time of the load step the analysis feeder is writing (0 until it sets one).
    void SetCurrentStepEndTime(double endTime) { currentStepEndTime_ = endTime; }
    double GetCurrentStepEndTime() const { return currentStepEndTime_; }

  private:
    // One imported load's banner and table for the matched time point.
    [[nodiscard]] int WriteImportedLoadBlock(const NCAERep::CCAERepBase& load, double timePoint,
                                             const NCAERep::CPropertyValue& timeColumn, int step);
    [[nodiscard]] int WriteThicknessOf(const NCAERep::CCAERepBase& load, IHostMeshData& mesh);
    double currentStepEndTime_ = 0.0;

  public:
    // --- supports, cyclic symmetry, remote loads, scoping selections
    //     (constraints/feeder_supports_writer.cpp, model/) ---
    // The supports and zero displacements of the finalised constraint table, and the rotations
    // it holds on nodes that carry them (see WriteSupportSets); the cyclic symmetry's tied nodes
    // get no frictionless or zero-displacement line. Always 0 (44 for an exception).
    [[nodiscard]] int WriteSupports();
    // The periodic or cyclic symmetry of every symmetry region of the data source: the sector
    // form (".ZYG") or the link form (".LIA" pairs, ".AXL"). Rebuilds the cyclic-symmetry node
    // set. 0; 25 bad or missing host data (a message names the region where the reason is
    // not plain), 36 an eigen run without modal controls, 41 no node pair, 101 an axis not
    // along +X, +Y or +Z.
    [[nodiscard]] int WriteCyclicSymmetry();
    // The nodes the cyclic symmetry ties; the support and displacement writers leave them out
    // of frictionless supports and zero displacements.
    const std::set<int>& GetCyclicSymmetryNodes() const { return cyclicSymmetryNodes_; }
    // Pilot node, selection and rigid (".RBE") or deformable (".MCE"/".MCC") coupling of one
    // remote point; a new pilot's number is stored in the record. 0, or 25 when the pilot
    // cannot be made or the scoping gives no node or face.
    [[nodiscard]] int WriteRemoteLoad(RemotePointRecord& record, const std::wstring& name,
                                      const JXReferenceList& scoping);
    // One numbered group named `name` (written as given) of the scoping's nodes (kind 0),
    // faces (kind 2) or elements (any other kind); groupNumber gets its number before
    // anything is resolved. E_FAIL for an empty scoping, a null argument, a two-dimensional
    // face that is no edge or an empty group; a failing host query's answer. A refused group
    // writes nothing.
    [[nodiscard]] HRESULT WriteScopingSelection(const JXReferenceList& scoping, int kind, const char* name,
                                                int* groupNumber);
    // The answer to a scoping edge that only solid elements hold (GetScopingFaces answered
    // kE_SolidElementEdge): an error naming the region (the start of the message, e.g. `The
    // remote point "Bolt"`) and the edge, and 25. The caller writes nothing for the region.
    [[nodiscard]] int RefuseSolidElementEdge(const std::wstring& region, const JXReference& edge);
    // The number of an element the deck adds for `region` (the start of a message, as above),
    // after the mesh's elements and those added before. 0 with the number; 25 with an error
    // naming the region when no number is left or the mesh gives no highest element number.
    [[nodiscard]] int DrawElementNumber(const std::wstring& region, int& element);

    // --- remote points (model/feeder_remote_points.cpp) ---
    // Every remote point of the model that has a scoping, in model order: a banner, the
    // remote-load writer's pilot coupling, the pilot's results lookup (its node, kind 1), the
    // pilot's axes when its frame is turned and has a deck frame, and its snippets (key 8).
    // 0 (also without remote points); 44 an object that cannot be fetched; ReadScoping's code;
    // 25 a frame the model does not have; 41 a pilot node the host cannot resolve; or the
    // remote-load writer's code. What was written before a failure stays in the deck.
    [[nodiscard]] int WriteRemotePoints();
    // One remote point of WriteRemotePoints.
    [[nodiscard]] int WriteRemotePoint(const NCAERep::CCAERepBase& point);

  private:
    std::set<int> cyclicSymmetryNodes_;

  public:
    // --- beam connections and coupling conditions (model/feeder_beam_connections.cpp,
    //     model/feeder_coupling_conditions.cpp) ---
    // Each beam connection of the model as one two-node beam element with a circular profile
    // named after the object, its material, a clamp of its first node when it is grounded,
    // and its command snippets; the element becomes the object's result lookup. 0 (also
    // without beam connections); 44 an object cannot be fetched; 41 the mesh gives no
    // two-node element for it; 5 the material library is missing or lacks the material; 25
    // a radius that is not a positive finite length, or a deck length unit the unit tables do
    // not know. Every refusal is posted as an error naming the object; what was written stays.
    [[nodiscard]] int WriteBeamConnections();
    // Each coupling condition as a ".LIA" block tying every node of its set to the first one
    // in the coupled component, and outside thermal analyses the node group and ".AXL" of the
    // frame the component is meant in. 0 (also without coupling conditions); 44 an object
    // cannot be fetched; 30 fewer than two nodes; 25 its id already has a result lookup, the
    // component is unknown, or the frame is not in the model. Refusals are posted as errors.
    [[nodiscard]] int WriteCouplingConditions();

    // --- deck write sequence, solve, end-time check and close (feeder_sequence.cpp,
    //     feeder_solve.cpp, feeder_end_time.cpp, materials/named_selection_materials.cpp) ---
    // The miscellaneous section: units, the ALL_ELEMENTS and ALL_NODES groups and the
    // reference temperature (not for buckling or prestress runs), then the cyclic symmetry.
    // 0, 25 without the reference-temperature record, or the cyclic-symmetry writer's code.
    [[nodiscard]] int WriteMiscellaneous();
    // The run options and, when asked, the result options; then the run-option snippets.
    // 0, or 25 without the contact-pair record.
    [[nodiscard]] int WriteRunOptions(bool withResultOptions);
    // The scaled materials of two-dimensional named selections ("remplissage_<factor>" and
    // "aube_equivalente..."); a selection whose data are missing, or whose blade ring has no
    // positive finite mass to spread the blades over, is skipped. 0; 25 when the element ids
    // of a scoping cannot be had; the scaled-material writer's code when it fails.
    [[nodiscard]] int WriteNamedSelectionMaterials();
    // Closes the deck and runs the solver. 1 cancelled, else the job runner's code (a
    // listing warning, 103, counts as success).
    [[nodiscard]] int Solve();
    // The result description file the run's last solver module writes (PlanSolverModules).
    std::string GetDescriptionFileName();
    // Compares the last solved time of the description file with the last step's end time.
    // Any non-zero code then moves into the return package's error code and `code` becomes
    // 0. Returns the incoming code, 11 when the check set it, or GetStepEndTime's code.
    [[nodiscard]] int CheckEndTime(const std::string& descriptionFile, int& code);
    // Writes the results log when asked, frees the per-solve objects, copies the deck in
    // input-only mode (a failed copy makes `code` 3), hands the code and the status bits to the
    // return package and saves the output representation when a message was posted. Safe
    // after a failure of any step.
    void Close(int& code);
    // ReturnPackage's status bits the run set so far.
    unsigned GetStatusBits() const { return statusBits_; }
    // Saves the output representation once, when a message was posted to it. When its file
    // cannot be written, the messages go into `package` instead ("Error: ..."), after one that
    // says why; without a package they are lost and the earlier file stays. The close calls it;
    // so does a solve that ends at a model refused at load, which has no close.
    void SavePostedMessages(ReturnPackage* package) noexcept;

  protected:
    void AddStatusBits(unsigned bits) { statusBits_ |= bits; }
    // The number of load steps of the analysis header: the settings', else (when asked) the
    // object table's. 0, or 2 with an error message when there is no step.
    [[nodiscard]] int TakeStepCount(bool fromObjectTable);
    // The start of an analysis's "Loads/BCs" section: the run's result description named in the
    // deck and the package, the boundary-condition pre-pass, then the section's banner. 0, 25
    // without a deck, or the pre-pass's code (nothing written).
    [[nodiscard]] int BeginLoadsSection(const std::string& descriptionFile);

  private:
    // Appends the run's sizes and times to "DORVIXResults.log" beside the deck.
    void WriteResultsLog(const std::filesystem::path& deckPath, int code);
    // The finished deck copied, replacing what the host's copy target held. 0; 3 with an error
    // naming the target and the reason when it cannot be copied whole (the target keeps what
    // it had).
    [[nodiscard]] int CopyDeckToTarget(const std::filesystem::path& deckPath);
    unsigned statusBits_ = 0;
    // When the solver run began and ended; none for a run that stopped before it.
    std::optional<std::chrono::system_clock::time_point> solveStart_;
    std::optional<std::chrono::system_clock::time_point> solveEnd_;

  protected:
    // --- section banners and the result description (feeder_sequence.cpp) ---
    // A section's title between two rule lines, when a deck is open.
    void WriteSectionBanner(const char* title);
    // The run's result description named in the deck and the package. 0, or 25 without a deck.
    [[nodiscard]] int NameResultDescription(const std::string& descriptionFile);

  private:
  public:
    int GetAnalysisKind() const override { return analysisKind_; }
    int GetNonLinearFlag() const override { return nonLinearFlag_; }
    bool WasMessagePosted() const { return messagePosted_; }
    int GetDeckUnitSystem() const { return deckUnitSystem_; }
    int GetModelUnitSystem() const { return modelUnitSystem_; }
    DorvixDeckFile* GetDeckFile() const { return deckFile_.get(); }
    DorvixSolutionSettings* GetSettings() const { return settings_.get(); }
    const ObjectTypeTable* GetObjectTypeTable() const { return objectTypeTable_.get(); }
    NCAERep::CCAERep* GetInputRoot() const { return inputRoot_; }
    NCAERep::CCAERep* GetOutputRoot() const { return outputRoot_; }
    TRVDataSourceItf* GetDataSource() const { return dataSource_; }
    ReturnPackage* GetReturnPackage() const { return returnPackage_; }
    CMeshWrapper* GetMeshWrapper() const { return meshWrapper_.Get(); }
    CBodyAttributeWrapper* GetBodyWrapper() const { return bodyWrapper_.Get(); }
    // Non-empty when the host asked only for the deck, copied to this path.
    const std::wstring& GetCopyTargetPath() const { return copyTargetPath_; }
    int GetPartCount() const { return partCount_; }
    // Elements and nodes the model section wrote, summed over the parts.
    int GetElementCount() const { return elementCount_; }
    int GetNodeCount() const { return nodeCount_; }

  protected:
    // The HostAnalysisKind is the derived feeder's.
    explicit DorvixFeeder(int analysisKind);

    // What Feed was handed; the steps read it from here.
    void SetSolveArguments(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) {
        dataSource_ = dataSource;
        returnPackage_ = returnPackage;
    }
    // The analysis header writers take the step count from the settings.
    void SetNumberOfSteps(int steps) { numberOfSteps_ = steps; }
    // For a writer driven without Open (the prestress inputs, tests of one section): the
    // flag and the settings Open would have set.
    void SetNonLinearFlag(int flag) { nonLinearFlag_ = flag; }
    void AdoptSettings(std::unique_ptr<DorvixSolutionSettings> settings) { settings_ = std::move(settings); }
    NCAERep::CCAEDatabase& InputDatabase() { return inputDatabase_; }
    // The deck file (not yet opened) and the two wrappers of a new deck, with fresh deck
    // counters.
    void CreateSolveObjects();

    // Frees the per-solve objects the close step ends: deck file, wrappers, constraint
    // holder, selection resolver and settings; saves the output representation when a
    // message was posted to it. Safe to call twice.
    void ReleaseSolveObjects();

    // Turns the exception being handled (call it only in a catch block) into the code of
    // the step that let it out: the reason goes to the host as an error message naming the
    // step.
    [[nodiscard]] int AnswerException(int code, std::wstring_view step) noexcept;

  private:
    // The shared answer of the three analysis queries in this class.
    bool AnswerNo() const { return false; }
    // Writes one line when a deck is open.
    void WriteDeckLine(std::string_view text);
    // True when the named option exists and its text reads as the integer 1.
    bool NamedOptionIsOne(const std::string& name) const;
    // Monotonic milliseconds at the six marks of the model section, for the timing log.
    using ClockMarks = std::array<std::uint64_t, 6>;
    // The model section's nodes, elements and element groups.
    [[nodiscard]] int SendMeshSections(ClockMarks& marks);
    // The model section's steps after the element groups.
    [[nodiscard]] int SendModelAttributes(ClockMarks& marks);
    // Moves the selection-group counter past the element groups and the bodies.
    void AdvanceSelectionGroups();
    // The named option "track times": how long each part of the model section took.
    void WriteTimingLog(const ClockMarks& marks);

    // Field order follows the class's model; each owner frees its object.
    std::wstring copyTargetPath_;
    NCAERep::CCAERep* inputRoot_ = nullptr;
    NCAERep::CCAERep* outputRoot_ = nullptr;
    NCAERep::CCAEDatabase inputDatabase_;
    NCAERep::CCAEDatabase outputDatabase_;
    // The host's resolver of scoping texts, created when the model is loaded.
    ComPtr<ISelectionResolver> selectionResolver_;
    std::wstring outputPath_;
    bool messagePosted_ = false;
    int analysisKind_ = 0;
    TRVDataSourceItf* dataSource_ = nullptr;
    std::unique_ptr<NodeConstraintTableHolder> nodeConstraintHolder_;
    ReturnPackage* returnPackage_ = nullptr;
    std::unique_ptr<DorvixDeckFile> deckFile_;
    LateOwned<CMeshWrapper> meshWrapper_;
    LateOwned<CBodyAttributeWrapper> bodyWrapper_;
    int nonLinearFlag_ = 0;
    int partCount_ = 0;
    int groupCounterCarry_ = 0;
    int numberOfSteps_ = 1;
    int elementCount_ = 0;
    int nodeCount_ = 0;
    std::unique_ptr<ObjectTypeTable> objectTypeTable_;
    ComPtr<IHostMesh> hostMesh_;
    std::unique_ptr<DorvixSolutionSettings> settings_;
    std::wstring settingsReadProblem_;
    LCID savedLocale_ = 0;
    int deckUnitSystem_ = -1;
    int modelUnitSystem_ = -1;
    std::optional<std::chrono::system_clock::time_point> deckWriteStart_;
    bool outputSaved_ = false;
    // The pre-pass's table of this solve's boundary conditions, node by node.
    LateOwned<NodeConstraintTable> nodeConstraintTable_;
    std::set<int> sheetAndWireBodies_;
};
