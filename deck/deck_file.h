// The solver input deck of one solve ("dorvix.dat") and the run of the solver on it.
// Every deck writer emits its lines through this class: plain lines cut into 80-column
// records with the continuation mark `$`, keyword-and-value commands, node and element
// records and selection groups. `CloseAndRun` then closes the deck and hands it to the
// solver run it owns (`SolverRun`), which runs the solver in the working folder and judges
// its listings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "deck/deck_fields.h"
#include "deck/deck_output.h"
#include "deck/return_codes.h"
#include "deck/solver_run.h"
#include "platform/files.h"

class DeckFileOwner;

class DorvixDeckFile {
  public:
    DorvixDeckFile() = default;
    explicit DorvixDeckFile(DeckFileOwner* owner) : owner_(owner), run_(owner) {}
    DorvixDeckFile(const DorvixDeckFile&) = delete;
    DorvixDeckFile& operator=(const DorvixDeckFile&) = delete;
    ~DorvixDeckFile();

    // Chooses the working folder, makes it current, holds it for this run until the deck file
    // goes (platform::FolderHold), removes what an earlier solve left there, creates the deck
    // and writes its header. kRC_Success, or kRC_FileNotCreated when another run holds the
    // folder or the deck cannot be created (GetOpenFailure tells why).
    [[nodiscard]] int Open(const std::string& fileName);

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
    // kRC_Success when written; kGroupNotWritten when the set is empty, the name cannot be a
    // deck identifier or the lines cannot be assembled.
    static constexpr int kGroupNotWritten = -1;
    [[nodiscard]] int WriteSelectionGroup(const std::string& name, const std::set<int>& ids, bool nodeGroup,
                                          int groupNumber);

    // Closes the deck and, unless only the deck was asked for, runs the solver (SolverRun::Run),
    // after removing the earlier result file Open kept when it is a leftover of the folder.
    // kRC_FileNotCreated when the deck could not be written completely or the driver file
    // cannot be created; GetOpenFailure then names the file and the system's reason.
    [[nodiscard]] int CloseAndRun(int requestedMemoryMb);
    // SolverRun::Launch in the working folder.
    [[nodiscard]] int LaunchSolver(int requestedMemoryMb) {
        return run_.Launch(workingFolder_, requestedMemoryMb);
    }
    [[nodiscard]] static int KillProcessTree(int pid) { return SolverRun::KillProcessTree(pid); }
    // Closes the deck file; false when a write to it failed.
    bool CloseDeck();
    // The file and the system's reason when the deck, the driver file or a listing could
    // not be created, written or read, or why the solver could not be started; empty
    // when the last Open or CloseAndRun met no such failure.
    const std::string& GetOpenFailure() const { return openFailure_; }

    std::string GetPath() const { return fileName_; }
    const std::filesystem::path& GetWorkingFolder() const { return workingFolder_; }
    void SetDescriptionFile(const std::string& name) { descriptionFile_ = name; }
    const std::string& GetDescriptionFile() const { return descriptionFile_; }
    void SetMemory(int memoryMode, int zoneMemoryMb, int coreMemoryMb) {
        run_.SetMemory(memoryMode, zoneMemoryMb, coreMemoryMb);
    }
    std::string GetCreationDate() const { return creationDate_; }
    const std::wstring& GetModuleName() const { return run_.GetModuleName(); }
    bool IsOpen() const { return out_.IsOpen(); }

    void SetInputOnly(bool on) { inputOnly_ = on; }
    bool IsInputOnly() const { return inputOnly_; }
    void SetWriteNothing(bool on) { writeNothing_ = on; }
    bool IsWriteNothing() const { return writeNothing_; }
    // The result file of an earlier solve that the deck's writing reads (initial conditions).
    // Open leaves it where it is, even in the working folder under a name a run leaves; it is
    // removed with the other leftovers only when the solver is about to start, once the deck
    // that read it is written.
    void SetEarlierResultFile(std::filesystem::path path) { earlierResultFile_ = std::move(path); }
    void SetRunOptions(SolverRunOptions options) { run_.SetOptions(std::move(options)); }
    const SolverEnd& GetSolverEnd() const { return run_.GetSolverEnd(); }

  private:
    void WriteWrapped(std::string_view text, bool longList);
    void WriteHeader();
    void FinishElementLine(std::size_t start);
    [[nodiscard]] int OpenSteps(const std::string& fileName);

    DeckOutput out_;
    std::string fileName_;
    std::string descriptionFile_;
    bool inputOnly_ = false;
    bool writeNothing_ = false;
    std::filesystem::path earlierResultFile_;
    DeckFileOwner* owner_ = nullptr;
    std::string creationDate_;
    std::filesystem::path workingFolder_;
    platform::FolderHold hold_;
    SolverRun run_;
    std::string openFailure_;
    std::string fieldScratch_;
    std::string lineScratch_;
};
