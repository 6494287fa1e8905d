// The feeder of steady-state and transient thermal analyses. It writes the whole deck around
// the shared sections of DorvixFeeder: the non-linear thermal analysis block, the thermal
// coupling conditions and their check, the initial temperatures (uniform or from an earlier
// solve), one load case per step with its thermal time-stepping block and the heat loads,
// convection and radiation, its own run and result options, and the thermal contacts of the
// model section; then runs the solver, checks the end time and closes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "deck/dorvix_feeder.h"

class ThermalDorvixFeeder : public DorvixFeeder {
  public:
    ThermalDorvixFeeder();
    ~ThermalDorvixFeeder() override;

    // Open, header, model, miscellaneous, loads and supports, begin commands, initial
    // temperatures, load cases, run options, RETURN and the solve, each while the ones before
    // succeeded; then (unless only the deck was asked for) the end-time check on the run's
    // result description, and always the close. 0 or the first code that stands.
    [[nodiscard]] int Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) override;

    // --- the feeder's sequence (feeders/thermal_dorvix_feeder.cpp) ---
    // The number of load steps and the ".MCNLTH" block. 0; 2 without a load step; 36 without
    // the solver, solver-file or step-list controls.
    [[nodiscard]] int WriteAnalysisHeader();
    // Names the result description, checks the boundary conditions, writes the coupling
    // conditions and checks them against the thermal loads. 0, 1 cancelled, or a code.
    [[nodiscard]] int WriteLoadsAndBCs();
    // A uniform initial temperature, or (kind 1) the temperatures of an earlier solve.
    [[nodiscard]] int WriteInitialTemperatures();
    // The node temperatures of an earlier thermal solve, body by body, as initial values.
    [[nodiscard]] int WriteSolvedInitialTemperatures();
    // One load case per step: banner, thermal ".SUB" block, the heat loads (in the first load
    // case), the step's snippets. 0 or the first code.
    [[nodiscard]] int WriteLoadCases();
    // The thermal ".SUB" block of one step.
    [[nodiscard]] int WriteStepSubcase(int step);
    // The thermal run and result options (the base's structural options are not written).
    [[nodiscard]] int WriteRunOptions();

    // --- thermal loads, contacts and the coupling check (thermal/*.cpp) ---
    [[nodiscard]] int WriteHeatFluxes();
    [[nodiscard]] int WriteBodyHeatLoads();
    [[nodiscard]] int WriteSurfaceHeatFlows();
    [[nodiscard]] int WriteConvections();
    [[nodiscard]] int WriteRadiations();
    [[nodiscard]] int WriteVertexHeatFlows();
    [[nodiscard]] int WriteEdgeHeatFlows();
    // Thermal coupling conditions must not share nodes with the loads that hold temperatures.
    [[nodiscard]] int CheckCouplingConditions();
    // The thermal contact regions of the model section.
    [[nodiscard]] int WriteContacts() override;

  private:
    // --- helpers of the thermal load and contact writers (thermal/*.cpp) ---
    // How a face-borne load reaches the deck: the group's name, its selection kind (2 faces,
    // 1 elements of a shell) and the keyword of the load line.
    struct FaceLoadGroup {
        std::string name;
        int kind = 2;
        const char* keyword = "FACE";
    };
    // The load's face group, chosen by the selection kind of its first body and by the model's
    // dimension, and written. 0, or 25 when the group cannot be written.
    [[nodiscard]] int WriteFaceLoadGroup(const JXReferenceList& scoping, long id, int firstBodyId,
                                         FaceLoadGroup& group);
    // The banner before each load.
    void WriteLoadBanner(const std::string& name);
    // The face group of a load and its line "<command> <keyword> GROUP ... V 1.0 NF <f> TIME".
    // 0, or 25 when the group cannot be written.
    [[nodiscard]] int WriteFaceLoadLine(const JXReferenceList& scoping, long id, int firstBodyId,
                                        int function, std::string_view command);
    // The heat flows: those of type 25, then those of type 24.
    std::vector<const ObjectTypeRecord*> HeatFlowRecords() const;
    // Convection and radiation share their start (the banner and the ambient temperature as a
    // function) and their face group. 0 or the first code; 39, named in a message, for an
    // ambient temperature that is not finite.
    struct ExchangeLoad {
        int ambientFunction = 0;
        FaceLoadGroup group;
    };
    [[nodiscard]] int StartExchangeLoad(const NCAERep::CIdentity& identity,
                                        const NCAERep::CCAERepBase& object, ExchangeLoad& exchange);
    // The object's face group, chosen by the face-selection rule and written; kept in exchange.
    // 0, the scoping's code, or 25 when the group cannot be written.
    [[nodiscard]] int WriteExchangeGroup(const NCAERep::CIdentity& identity,
                                         const NCAERep::CCAERepBase& object, ExchangeLoad& exchange);
    // "Scalar2" as the next function after an optional comment line. A value that cannot be read
    // or written, or that is not finite, is refused with a message naming the object and `what`.
    [[nodiscard]] int WriteScalar2Function(const NCAERep::CIdentity& identity,
                                           const NCAERep::CCAERepBase& object, const wchar_t* what,
                                           const char* comment, int& function, bool& byTime);
    // One side of a thermal contact as a group of element faces. 0, 25 or 28.
    [[nodiscard]] int WriteContactFaceGroup(const ContactSide& side, bool marker, int group);
    // One contact region; 0 or a code. written tells whether it was written (not skipped).
    [[nodiscard]] int WriteThermalContactRegion(const ContactRegionRecord& region, bool& written);

  public:
};
