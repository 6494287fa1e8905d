// The solver input deck of one solve ("dorvix.dat") and the run of the solver on it.
// Every deck writer emits its lines through this class: plain lines cut into 80-column
// records with the continuation mark `$`, keyword-and-value commands, node and element
// records and selection groups. `CloseAndRun` then writes the module driver file, runs the
// solver in the working folder and judges its listings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include "deck/deck_fields.h"
#include "deck/deck_output.h"

class DeckFileOwner;

// How the job runner waits for the solver. The defaults are those of a real solve; tests
// shorten the intervals and replace the progress report.
struct SolverRunOptions {
    int pollIntervalMs = 1000;
    int killSettleMs = 250;
    // Answers 0 when the user asked to cancel. Empty: the host's progress callback.
    std::function<int(int percent, int stage)> reportProgress;
};

class DorvixDeckFile {
  public:
    DorvixDeckFile() = default;
    explicit DorvixDeckFile(DeckFileOwner* owner) : owner_(owner) {}
    DorvixDeckFile(const DorvixDeckFile&) = delete;
    DorvixDeckFile& operator=(const DorvixDeckFile&) = delete;
    ~DorvixDeckFile();

    // Chooses the working folder, makes it current, removes what an earlier solve left there,
    // creates the deck and writes its header. 0, or 3 when the deck cannot be created.
    int Open(const std::string& fileName);

    void WriteRaw(std::string_view text);
    void WriteLine(std::string_view text);
    // As WriteLine, but every 20th record of a long id list ends the command line.
    void WriteLongLine(std::string_view text);

    // A keyword followed by typed values (int, double, text, DeckPoint, DeckDoubles,
    // DeckInts, DeckComment), written through WriteLine.
    template <class... Values>
    void WriteFields(std::string_view keyword, const Values&... values) {
        if (!out_.IsOpen()) return;
        DeckLineBuilder line(fieldScratch_, keyword);
        (line.Add(values), ...);
        WriteLine(line.Text());
    }

    void WriteNode(int id, double x, double y, double z);
    // The shape writers take a node list of the linear or the quadratic count (tetrahedron
    // 4/10, hexahedron 8/20, wedge 6/15, pyramid 5/13) and write nothing for any other
    // count; the caller reports such an element.
    void WriteTetra(int id, int nodeCount, const int* nodes);
    void WriteHexa(int id, int nodeCount, const int* nodes);
    void WriteWedge(int id, int nodeCount, const int* nodes);
    void WritePyramid(int id, int nodeCount, const int* nodes);
    void WriteElement(int id, int nodeCount, const int* nodes);
    // 0 when written; -1 when the set is empty or the name cannot be a deck identifier.
    int WriteSelectionGroup(const std::string& name, const std::set<int>& ids, bool nodeGroup,
                            int groupNumber);

    // Closes the deck and, unless only the deck was asked for, runs the solver. 3 when the
    // deck could not be written completely or the driver file cannot be created.
    int CloseAndRun(int requestedMemoryMb);
    // Starts the solver and waits for it: 0 when it ended (however it ended; see
    // GetSolverEnd), 1 cancelled, 2 wait failed, 6 not started, 25 command too long,
    // 100 DVX_EXE undefined.
    int LaunchSolver(int requestedMemoryMb);
    // Ends a process and all its descendants: 0, or 1 when the process list cannot be read,
    // 2 when the process cannot be examined at all.
    static int KillProcessTree(int pid);
    // Closes the deck file; false when a write to it failed.
    bool CloseDeck();

    std::string GetPath() const { return fileName_; }
    const std::filesystem::path& GetWorkingFolder() const { return workingFolder_; }
    void SetDescriptionFile(const std::string& name) { descriptionFile_ = name; }
    const std::string& GetDescriptionFile() const { return descriptionFile_; }
    void SetMemory(int memoryMode, int zoneMemoryMb, int coreMemoryMb) {
        memoryMode_ = memoryMode;
        zoneMemoryMb_ = zoneMemoryMb;
        coreMemoryMb_ = coreMemoryMb;
    }
    std::string GetCreationDate() const { return creationDate_; }
    const std::wstring& GetModuleName() const { return moduleName_; }
    bool IsOpen() const { return out_.IsOpen(); }

    void SetInputOnly(bool on) { inputOnly_ = on; }
    bool IsInputOnly() const { return inputOnly_; }
    void SetWriteNothing(bool on) { writeNothing_ = on; }
    bool IsWriteNothing() const { return writeNothing_; }
    void SetRunOptions(SolverRunOptions options) { runOptions_ = std::move(options); }

    // How the solver of the last launch ended, when it ended by itself.
    struct SolverEnd {
        int exitCode = 0;
        int signal = 0;  // the signal that ended it; 0 when it exited
        // Only a signal makes an end abnormal: the exit code is the solver's own affair and
        // its listings say how the run went.
        bool Abnormal() const { return signal != 0; }
    };
    const SolverEnd& GetSolverEnd() const { return solverEnd_; }

  private:
    void WriteWrapped(std::string_view text, bool longList);
    void WriteHeader();
    void FinishElementLine(std::size_t start);
    int ScanListings();
    int JudgeAbnormalEnd(int code);
    int ReportProgress(int percent, int stage) const;

    DeckOutput out_;
    std::string fileName_;
    std::string descriptionFile_;
    bool inputOnly_ = false;
    bool writeNothing_ = false;
    DeckFileOwner* owner_ = nullptr;
    std::string creationDate_;
    int memoryMode_ = 0;
    int zoneMemoryMb_ = 0;
    int coreMemoryMb_ = 0;
    std::wstring moduleName_;
    std::filesystem::path workingFolder_;
    SolverRunOptions runOptions_;
    SolverEnd solverEnd_;
    std::string fieldScratch_;
    std::string lineScratch_;
};
