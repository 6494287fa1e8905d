// Where the solver's files go, what is kept after a solve and in which units the solver runs.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings_record.h"
#include "settings/settings_types.h"

class DorvixSolverFileControls : public DorvixSettingsRecord {
  public:
    DorvixSolverFileControls() = default;

    // The owning class's physics and analysis type, kept with the record.
    void SetTypes(std::uint32_t analysisType, std::uint32_t physicsType) {
        analysisType_ = analysisType;
        physicsType_ = physicsType;
    }
    std::uint32_t GetPhysicsType() const { return physicsType_; }
    std::uint32_t GetAnalysisType() const { return analysisType_; }

    std::uint32_t GetFutureAnalysisType() const { return futureAnalysisType_; }
    void SetFutureAnalysisType(std::uint32_t v) { futureAnalysisType_ = v; }
    // 0xFFFF means no unit system was chosen.
    std::uint16_t GetSolverUnits() const { return solverUnits_; }
    void SetSolverUnits(std::uint16_t v) { solverUnits_ = v; }
    bool GetSaveDorvixDB() const { return saveDorvixDB_; }
    void SetSaveDorvixDB(bool v) { saveDorvixDB_ = v; }
    bool GetDeleteUnusedFiles() const { return deleteUnusedFiles_; }
    void SetDeleteUnusedFiles(bool v) { deleteUnusedFiles_ = v; }

    // Texts are values: setters keep a copy, getters hand out the record's own text. An empty
    // text stands for "not set".
    const std::wstring& GetSolverFilesDirectory() const { return solverFilesDirectory_; }
    void SetSolverFilesDirectory(std::wstring v) { solverFilesDirectory_ = std::move(v); }
    const std::wstring& GetSolverFilesRelativeDirectory() const { return solverFilesRelativeDirectory_; }
    void SetSolverFilesRelativeDirectory(std::wstring v) { solverFilesRelativeDirectory_ = std::move(v); }
    const std::wstring& GetAdditionalList() const { return additionalList_; }
    bool HasAdditionalList() const { return !additionalList_.empty(); }
    void SetAdditionalList(std::wstring v) { additionalList_ = std::move(v); }
    const std::wstring& GetResultFile() const { return resultFile_; }
    void SetResultFile(std::wstring v) { resultFile_ = std::move(v); }

    bool operator==(const DorvixSolverFileControls&) const = default;

  private:
    std::uint32_t physicsType_ = 0;
    std::uint32_t analysisType_ = 0;
    std::uint32_t futureAnalysisType_ = kNoFutureAnalysis;
    std::uint16_t solverUnits_ = 0xFFFF;
    std::wstring solverFilesDirectory_;
    std::wstring solverFilesRelativeDirectory_;
    std::wstring additionalList_;
    std::wstring resultFile_;
    bool saveDorvixDB_ = true;
    bool deleteUnusedFiles_ = true;
};
