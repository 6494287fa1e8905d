// The feeder of modal and buckling analyses. On its own model a modal deck carries the model,
// the supports and the eigen solver cards; a prestressed deck (buckling always is) carries no
// model of its own but reads the deck of an earlier static run, kept as "prestress.dat", and
// adds the eigen solver cards. After the solve the eigenvalues of the result description go
// into the return package's value list.
#pragma once

#include <string>

#include "deck/dorvix_feeder.h"

class DorvixModalControls;

class EigenDorvixFeeder : public DorvixFeeder {
  public:
    EigenDorvixFeeder();
    ~EigenDorvixFeeder() override;

    // Open, header, the prestress inputs or the model, miscellaneous, loads and supports,
    // begin commands (not prestressed), run options, each while the ones before succeeded;
    // always the object snippets of id 1; then RETURN, the solve, the eigenvalue check (unless
    // only the deck was asked for) and always the close. A buckling analysis without prestress
    // is refused with 25.
    [[nodiscard]] int Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) override;
    // The settings are those of a buckling analysis.
    bool IsBucklingAnalysis() override;
    // The solve job's initial condition names a prestress environment.
    bool HasPrestress() override;

    // Takes the number of load steps and writes the ".VIBRA" or ".FLAMB" block. 0; 2 without
    // a load step; 36 without the solver or solver-file controls.
    [[nodiscard]] int WriteAnalysisHeader();
    // The INPUT line that reads "prestress.dat": its non-linear or linear form as the
    // prestress solution says. Always 0.
    [[nodiscard]] int WritePrestressInputs();
    // Names the result description file, writes the eigen solver cards and, without
    // prestress, the supports and the constant loads an eigen run takes. 0, 1 cancelled, 25
    // without a deck, 36 without the mode controls, or the first writer's code.
    [[nodiscard]] int WriteLoadsAndBCs();
    // Each remote displacement as constant component values on its remote point's node. 0, or
    // 25 when a node or a host load is missing, or a component value cannot be read.
    [[nodiscard]] int WriteRemoteDisplacements();
    // Hands the eigenvalues of the run's description file to the return package: 0, or 11
    // when the file holds none.
    [[nodiscard]] int CheckEndTime();

    // How the prestress solution ran: non-linear (the host's true, -1) and the step to start
    // from (1 when the host does not say). False when the run names no prestress environment;
    // an environment the host does not know answers nothing, so its solution reads as linear.
    struct PrestressSolution {
        bool nonLinear = false;
        int step = 1;
        bool known = false;  // the host knows the environment object
    };
    bool GetPrestressSolution(PrestressSolution& solution) const;

  private:
    // The mode controls of the analysis (record 17 buckling, 16 modal); null without them.
    const DorvixModalControls* GetModeControls();
    void WriteModeCards(const DorvixModalControls& controls, bool prestress);
};

// Integer properties of the host's prestress environment object: how its solution ran.
inline constexpr int kPrestressNonLinearProperty = 931;  // VARIANT_TRUE (-1): non-linear
inline constexpr int kPrestressStepProperty = 932;       // the step the eigen run starts from
