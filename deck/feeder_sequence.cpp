// The shared sections after the model: the miscellaneous section (units, the whole-model
// groups, the reference temperature and the cyclic symmetry), the run options with the result
// options, and the closing "RETURN".
#include <cstring>
#include <string>

#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "foundation/unit_systems.h"
#include "host/data_source.h"
#include "runtime/return_package.h"
#include "settings/output_controls.h"
#include "settings/settings_types.h"

namespace {

constexpr const char* kSectionRule = "!---------------------------------------";

// The system without its Celsius and degree flags.
int UnflaggedSystem(int system) {
    return system < 0 ? system : system & ~(kUnitFlagCelsius | kUnitFlagDegrees);
}

const char* LengthUnitLine(int deckUnitSystem) {
    switch (deckUnitSystem) {
        case kUnitsSolverCgs:
            return ".UNIT CM";
        case kUnitsSolverNmm:
            return ".UNIT MM";
        case kUnitsSolverBft:
            return "! TODO tbdowner BFT units.";
        case kUnitsSolverBin:
            return "! TODO tbdowner BIN units.";
        case kUnitsSolverUmks:
            return ".UNIT LENGTH 0.000001";
        case kUnitsSolverMks:
            return ".UNIT SI";
        default:
            return nullptr;
    }
}

// The deck's temperature unit when it is not the one the length line implies: SI is kelvin.
const char* TemperatureUnitLine(int deckUnitSystem) {
    const char* label = GetUnitSystemTable().GetUnitLabel(deckUnitSystem, kQuantityTemperature);
    if (!label) return nullptr;
    if (std::strcmp(label, "(C)") == 0) return ".UNIT CELSIUS";
    if (std::strcmp(label, "(F)") == 0) return ".UNIT FAH";
    if (UnflaggedSystem(deckUnitSystem) != kUnitsSolverMks && std::strcmp(label, "(K)") == 0)
        return ".UNIT KELVIN";
    return nullptr;
}

void WriteResultTypes(DorvixDeckFile& deck, bool nonLinear, bool strainRequested) {
    deck.WriteLine(" STYPE 3310 3331 3332 3320 3411 3431 3435 3436 $");
    deck.WriteLine(" 3437 3438 3439 3440 3450 1320 1411 1431 1435 $");
    deck.WriteLine(" 1436 1439 1440 1450 $");
    if (nonLinear) {
        deck.WriteLine(" -1441 -1442 -1443 -1451 $");
        deck.WriteLine(" -1452 -1453 -1407 -1408 -1409 -1417 -1418 -1419 $");
        deck.WriteLine(" -1447 -1448 -1449 -1457 -1458 -1459 -1477 -1478 $");
        deck.WriteLine(" -1479 -1487 -1488 -1489 $");
    }
    if (strainRequested) deck.WriteLine(" 1421 1423 1425 1452 1453 $");
    deck.WriteLine(" 223 224");
}

}  // namespace

int DorvixFeeder::WriteMiscellaneous() try {
    if (!deckFile_ || !dataSource_) return kRC_MissingData;
    DorvixDeckFile& deck = *deckFile_;
    WriteSectionBanner("! Miscellaneous");
    if (const char* line = LengthUnitLine(UnflaggedSystem(deckUnitSystem_))) deck.WriteLine(line);
    if (const char* line = TemperatureUnitLine(deckUnitSystem_)) deck.WriteLine(line);

    if (!IsBucklingAnalysis() && !HasPrestress()) {
        deck.WriteLine(".SEL GROUP " + std::to_string(NextSelectionGroupNumber()) +
                       " MAILLES TOUT NOM \"ALL_ELEMENTS\"");
        deck.WriteLine(".SEL GROUP " + std::to_string(NextSelectionGroupNumber()) +
                       " NOEUD TOUT NOM \"ALL_NODES\"");
        const ReferenceTemperatureRecord* reference = dataSource_->GetReferenceTemperature();
        if (!reference) {
            PostHostMessage(L"The host gives no reference temperature", L"Error");
            return kRC_MissingData;
        }
        // The host's unit system 11 for a temperature means degrees Celsius.
        const int from = reference->unitSystem == kUnitsSolverMks ? (kUnitsSolverMks | kUnitFlagCelsius)
                                                                  : reference->unitSystem;
        deck.WriteFields(".GEL TEMP",
                         GetUnitSystemTable().Convert(from, deckUnitSystem_, kQuantityTemperature,
                                                      reference->temperature));
    }
    return WriteCyclicSymmetry();
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the miscellaneous section");
}

int DorvixFeeder::WriteRunOptions(bool withResultOptions) try {
    if (!deckFile_ || !dataSource_ || !bodyWrapper_) return kRC_MissingData;
    DorvixDeckFile& deck = *deckFile_;
    const bool nonLinear = nonLinearFlag_ == 1;
    WriteSectionBanner("! Run Options");
    deck.WriteLine(".DVX NOP1 -2 NOP2 0 NOP3 0 NOP4 0 NOP5 -1 NOP6 -1");
    if (!nonLinear) deck.WriteLine(".DVX MF 1");
    deck.WriteLine(".OPT METHODE 3");
    if (bodyWrapper_->IsAxisymmetricModel()) deck.WriteLine(".ALGO AXER 1 AXES 2");
    if (!nonLinear && !IsPrestressedStatic()) deck.WriteLine(".ALGO ERRC 1");
    deck.WriteFields("TITRE \"DORVIX job created on", deck.GetCreationDate(), "\"");

    if (withResultOptions) {
        WriteSectionBanner("! Result Options");
        deck.WriteLine("! - Standard Codes");
        deck.WriteLine(".SAI ARCHIVE STRUCTURE $");
        const DorvixOutputControls* output =
            settings_ ? settings_->GetStepControlsAs<DorvixOutputControls>(1, kStepOutputControlsSelector)
                      : nullptr;
        WriteResultTypes(deck, nonLinear, output && output->IsOutputRequested(kStrainOutput));
        const ContactList* contacts = dataSource_->GetContactPairs();
        if (!contacts) {
            PostHostMessage(L"The host gives no contact list", L"Error");
            return kRC_MissingData;
        }
        if (contacts->GetCount() > 0 && output && output->IsOutputRequested(kContactOutput))
            deck.WriteLine(".SAI ARCHIV STRUCT STYPE 1305 1306 1307");
    }
    WriteObjectSnippets(kSnippetRunOptions);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the run options");
}

void DorvixFeeder::WriteSectionBanner(const char* title) {
    WriteDeckLine(kSectionRule);
    WriteDeckLine(title);
    WriteDeckLine(kSectionRule);
}

int DorvixFeeder::NameResultDescription(const std::string& descriptionFile) {
    if (!deckFile_) return kRC_MissingData;
    deckFile_->SetDescriptionFile(descriptionFile);
    if (returnPackage_) (void)returnPackage_->SetResultFileName(descriptionFile.c_str());
    return kRC_Success;
}

int DorvixFeeder::BeginLoadsSection(const std::string& descriptionFile) {
    if (const int code = NameResultDescription(descriptionFile); code != kRC_Success) return code;
    if (const int code = CheckBoundaryConditions(); code != kRC_Success) return code;
    WriteSectionBanner("! Loads/BCs");
    return kRC_Success;
}

int DorvixFeeder::TakeStepCount(bool fromObjectTable) {
    int steps = settings_ ? settings_->GetNumberOfSteps() : 0;
    if (steps < 1 && fromObjectTable) steps = objectTypeTable_ ? objectTypeTable_->GetStepCount() : 0;
    if (steps < 1) {
        PostHostMessage(L"The analysis settings hold no load step", L"Error");
        return kRC_NoLoadStep;
    }
    numberOfSteps_ = steps;
    return kRC_Success;
}

int DorvixFeeder::WriteReturn() try {
    WriteDeckLine(kSectionRule);
    WriteDeckLine("RETURN");
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Closing the deck");
}
