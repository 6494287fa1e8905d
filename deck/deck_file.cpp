// Opening the deck in the working folder (held, stale listings removed), its header, and close and run.
#include "deck/deck_file.h"

#include <cstdio>

#include "deck/code_guard.h"
#include "deck/deck_file_owner.h"
#include "deck/return_codes.h"
#include "deck/solver_listing.h"
#include "platform/clock.h"
#include "platform/files.h"

DorvixDeckFile::~DorvixDeckFile() { (void)out_.Close(); }

bool DorvixDeckFile::CloseDeck() {
    if (out_.Close()) return true;
    openFailure_ = out_.Failure();
    return false;
}

int DorvixDeckFile::Open(const std::string& fileName) {
    return AnswerCode(openFailure_, kRC_Exception, [&] { return OpenSteps(fileName); });
}

int DorvixDeckFile::OpenSteps(const std::string& fileName) {
    openFailure_.clear();
    std::string folderOption;
    bool inOption = false;
    if (owner_ && owner_->ReadNamedOption("XENRADir", folderOption) && !folderOption.empty())
        inOption = platform::SetCurrentFolder(folderOption);
    if (!inOption) {
        // A missing or unusable folder option falls back to the temporary folder quietly.
        const std::filesystem::path temporary = platform::TemporaryFolder();
        if (!temporary.empty()) (void)platform::SetCurrentFolder(temporary);
    }
    // The deck is opened by the absolute current folder: a relative option must not be
    // applied a second time after the change of folder.
    workingFolder_ = platform::CurrentFolder();
    // Held until the deck file goes, after the run and the reading of its results: a second run
    // in the folder would take this one's listings for its own and remove its results.
    std::string reason;
    if (!hold_.Acquire(workingFolder_, &reason)) {
        openFailure_ = "the working folder " + workingFolder_.string() + " cannot be used: " + reason;
        return kRC_FileNotCreated;
    }
    // Listings and result descriptions of an earlier solve in this folder would otherwise
    // be judged as this run's. A pass that will not run the solver leaves them alone: they
    // are still the results of that earlier solve. So does every pass with the earlier result
    // the deck is about to read.
    if (!writeNothing_ && !inputOnly_) RemoveStaleSolverFiles(workingFolder_, earlierResultFile_);

    // A failure of an earlier deck is no failure of this one.
    out_.Reset();
    if (!writeNothing_ && !out_.Open(workingFolder_ / fileName)) {
        openFailure_ = out_.Failure();
        return kRC_FileNotCreated;
    }
    fileName_ = fileName;
    creationDate_ = platform::CTimeText(platform::LocalNow()).substr(0, 24);
    WriteHeader();
    return kRC_Success;
}

int DorvixDeckFile::CloseAndRun(int requestedMemoryMb) {
    return AnswerCode(openFailure_, kRC_Exception, [&] {
        openFailure_.clear();
        // A deck cut short by a failed write must neither reach the solver nor be handed to
        // the host as the requested input deck.
        if (!CloseDeck()) return static_cast<int>(kRC_FileNotCreated);
        if (inputOnly_) return static_cast<int>(kRC_Success);
        // The earlier result has been read into the deck; left here it would pass for this run's.
        if (!writeNothing_ && !earlierResultFile_.empty()) RemoveStaleSolverFiles(workingFolder_);
        const int code = run_.Run({workingFolder_, fileName_, writeNothing_, requestedMemoryMb});
        openFailure_ = run_.GetFailure();
        return code;
    });
}

void DorvixDeckFile::WriteHeader() {
    WriteLine(".INIT &");
    WriteFields("! DORVIX input file written by Quohub version", "12.0.1");
    WriteFields("! Dorvix solver add-in version", "12,2009,105,1");
    WriteLine("! JOBNAME IS 'dorvix'");
    WriteFields("! DORVIX job created on", creationDate_);
}
