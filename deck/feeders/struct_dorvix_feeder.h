// The feeder of structural static and transient analyses. It writes the whole deck around
// the shared sections of DorvixFeeder: the analysis block header (linear, non-linear or
// prestressed in one or two passes), the loads and supports, the initial velocity of a
// transient run, one load case per step with its time-stepping block, then runs the solver,
// leaves "prestress.dat" for a later prestressed modal run when asked, checks the end time
// and closes.
#pragma once

#include <string>
#include <vector>

#include "deck/dorvix_feeder.h"
#include "foundation/geometry.h"

class DorvixTimeStepOptions;
class DorvixSolverControls;

class StructDorvixFeeder : public DorvixFeeder {
  public:
    StructDorvixFeeder();
    ~StructDorvixFeeder() override;

    // Open, header, model, miscellaneous, loads and supports, begin commands, initial
    // velocity, time definitions, load cases, run options, RETURN and the solve, each while
    // the ones before succeeded; then (unless only the deck was asked for) the prestress copy
    // and the end-time check, and always the close. 0 or the first code that stands.
    [[nodiscard]] int Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) override;
    // The settings ask for a prestressed linear static run.
    bool IsPrestressedStatic() override;

    // Takes the number of load steps from the settings (else the object table) and writes
    // the analysis block of the run mode. 0; 2 without a load step; 36 without the solver,
    // solver-file or step-list controls.
    [[nodiscard]] int WriteAnalysisHeader();
    // Names the result description file, checks the boundary conditions, then writes the
    // coupling conditions, node rotations, supports, remote points and masses, springs and
    // beam connections. 0, 1 cancelled, 25 without a deck, or the first writer's code.
    [[nodiscard]] int WriteLoadsAndBCs();
    // The initial velocity of a transient run, body by body, in each node's own frame where
    // the node has one. 0 (also for any other run); 36 without the solution record or its
    // initial condition; 25 a refused kind, an unknown body or frame; 41 the mesh refuses a
    // body's nodes.
    [[nodiscard]] int WriteInitialVelocity();
    // One load case per step: banner, time-stepping block and the load writers, then the
    // step's snippets. 0 or the first code.
    [[nodiscard]] int WriteLoadCases();
    // The ".SUB" block of one step (non-linear or transient runs only). 0; 25 an unknown
    // stepping or time-point choice, or a sub-step count that is not positive; 36 a missing
    // step, control record or output controls.
    [[nodiscard]] int WriteStepSubcase(int step);
    // Copies the deck to "prestress.dat" in the working folder: 0, or 37 when it fails.
    [[nodiscard]] int CopyPrestressFile();

  private:
    // The time card and the automatic stepping cards of WriteStepSubcase, without writing:
    // 0, or 25/36 as WriteStepSubcase answers.
    [[nodiscard]] int BuildTimeCards(int step, double start, double end, const DorvixTimeStepOptions& options,
                                     std::vector<std::string>& lines) const;
    // The velocity lines of one body of the initial condition.
    [[nodiscard]] int WriteBodyVelocity(int bodyId, const std::string& name, const Vector3& velocity);
};
