// Save and load of each record type: version read, values checked storable, a record changed only when whole.
#include "settings/record_stream.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "settings/damping_controls.h"
#include "settings/harmonic_controls.h"
#include "settings/modal_controls.h"
#include "settings/output_controls.h"
#include "settings/solver_controls.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls_list.h"
#include "settings/time_step_options.h"

namespace {

constexpr std::int32_t kTimeStepOptionsVersion = 3;
constexpr std::int32_t kSolverControlsVersion = 3;
constexpr std::int32_t kModalControlsVersion = 3;
constexpr std::int32_t kSingleVersion = 1;
constexpr std::int32_t kStepSubRecordCount = 2;
constexpr std::int32_t kOptionsSubRecordTag = 0;
constexpr std::int32_t kOutputSubRecordTag = 2;
// A step record without its sub-records: version, end time, two flags, sub-record count.
constexpr std::size_t kMinimumStepBytes = 4 + 8 + 1 + 1 + 4;
// A sub-record: its tag and its version.
constexpr std::size_t kMinimumSubRecordBytes = 8;

// Typed one-value reads; each answers false once the stream has failed.
bool Read(JXStream& s, std::int32_t& v) { return s.ReadInt32(&v); }

std::int32_t ReadInt(JXStream& s) {
    std::int32_t v = 0;
    s.ReadInt32(&v);
    return v;
}
std::uint32_t ReadUInt(JXStream& s) {
    std::uint32_t v = 0;
    s.ReadUInt32(&v);
    return v;
}
std::uint16_t ReadUInt16(JXStream& s) {
    std::uint16_t v = 0;
    s.ReadUInt16(&v);
    return v;
}
double ReadDouble(JXStream& s) {
    double v = 0.0;
    s.ReadDouble(&v);
    return v;
}
bool ReadFlag(JXStream& s) {
    bool v = false;
    s.ReadBool(&v);
    return v;
}

// Reads the version of a record into `version`: Loaded when it lies in [lowest, highest],
// OtherVersion when it does not, Failed when the stream is short.
RecordLoad ReadVersion(JXStream& s, std::int32_t lowest, std::int32_t highest, std::int32_t& version) {
    if (!Read(s, version)) return RecordLoad::Failed;
    return version < lowest || version > highest ? RecordLoad::OtherVersion : RecordLoad::Loaded;
}

// Every value can be written to the XML form and read back from it: no infinite or undefined
// number and no code the XML form has no word for.
bool AllFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}
template <class T>
bool OneOf(T value, std::type_identity_t<std::initializer_list<T>> codes) {
    for (T code : codes)
        if (value == code) return true;
    return false;
}

bool IsStorable(const DorvixTimeStepOptions& r) {
    return OneOf(r.GetUseAutoTimeStepping(), {kProgramControlled, kOn, kOff}) &&
           OneOf(r.GetTimeStepDefineby(), {kDefineBySubSteps, kDefineByTime}) &&
           AllFinite({r.GetInitialTimeStep(), r.GetMaximumTimeStep(), r.GetMinimumTimeStep(), r.GetStepSpan(),
                      r.GetNewtonResidualNormConvergence(), r.GetNewtonEnergyConvergence(),
                      r.GetNewtonStiffnessMatrixConvergence(), r.GetNewtonRelaxationConvergence()});
}

bool IsStorable(const DorvixOutputControls& r) {
    for (double v : r.GetResultSets())
        if (!std::isfinite(v)) return false;
    return OneOf(r.GetResultSetsType(), {kResultSetsAuto, kResultSetsManual}) &&
           OneOf(r.GetTimePointsOptions(), {kTimePointsAll, kTimePointsLast, kTimePointsEquallySpaced});
}

bool IsStorable(const DorvixSolverControls& r) {
    return OneOf(r.GetSolverType(), {kSolverProgramControlled, kSolverDual, kSolverFrontal, kSolverSparse,
                                     kSolverParallel, kSolverManual}) &&
           OneOf(r.GetWeakSprings(), {kProgramControlled, kOn, kOff}) &&
           OneOf(r.GetSpringsStiffnessType(),
                 {kStiffnessProgramControlled, kStiffnessFactor, kStiffnessManual}) &&
           OneOf(r.GetNonlinearFormulationType(),
                 {kFormulationProgramControlled, kFormulationFull, kFormulationQuasi}) &&
           AllFinite(
               {r.GetSpringsStiffnessFactor(), r.GetSpringsStiffnessValue(), r.GetReformulationTolerance()});
}

bool IsStorable(const DorvixSolverFileControls& r) { return r.GetFutureAnalysisType() <= kSaveRestartFiles; }

bool IsStorable(const DorvixDampingControls& r) {
    return OneOf(r.GetBetaDampingDefinition(), {kBetaByValue, kBetaByFrequency}) &&
           AllFinite({r.GetConstantValue(), r.GetBetaDamping(), r.GetFrequency(), r.GetMeasure(),
                      r.GetNumericalValue()});
}

bool IsStorable(const DorvixHarmonicControls& r) {
    return OneOf(r.GetHarmonicMethod(), {kModeSuperposition, kFullMethod}) &&
           OneOf(r.GetModalFrequencyRange(), {kModalRangeProgramControlled, kModalRangeManual}) &&
           OneOf(r.GetStoreResultsAtAllFrequencies(), {0, 1}) &&
           AllFinite({r.GetForcingFrequencyMinimum(), r.GetForcingFrequencyMaximum(),
                      r.GetManualRangeMinimum(), r.GetManualRangeMaximum()});
}

bool IsStorable(const DorvixModalControls& r) {
    return AllFinite({r.GetMinFrequency(), r.GetMaxFrequency(), r.GetStoredRefTemperature()});
}

// Commits `work` into `record` when the stream is still good and every value is storable;
// otherwise the stream fails and the record stays as it was.
template <class R>
RecordLoad Commit(JXStream& s, R& record, R& work) {
    if (!s.Good()) return RecordLoad::Failed;
    if (!IsStorable(work)) {
        s.Fail();
        return RecordLoad::Failed;
    }
    record = std::move(work);
    return RecordLoad::Loaded;
}

}  // namespace

void SaveRecord(JXStream& s, const DorvixTimeStepOptions& r) {
    s.WriteInt32(kTimeStepOptionsVersion);
    s.WriteInt32(r.GetUseAutoTimeStepping());
    s.WriteInt32(r.GetTimeStepDefineby());
    s.WriteInt32(r.GetReserved());
    s.WriteDouble(r.GetInitialTimeStep());
    s.WriteDouble(r.GetMaximumTimeStep());
    s.WriteDouble(r.GetMinimumTimeStep());
    s.WriteBool(r.GetCarryOverTimeStep());
    s.WriteDouble(r.GetStepSpan());
    for (int i = 0; i < kNewtonControlCount; ++i)
        s.WriteBool(r.GetNewtonType(static_cast<NewtonControl>(i)) != 0);
    s.WriteInt32(static_cast<std::int32_t>(r.GetNewtonIterationMaximumNumber()));
    s.WriteInt32(static_cast<std::int32_t>(r.GetNewtonIterationOptimumNumber()));
    s.WriteDouble(r.GetNewtonResidualNormConvergence());
    s.WriteDouble(r.GetNewtonEnergyConvergence());
    s.WriteDouble(r.GetNewtonStiffnessMatrixConvergence());
    s.WriteDouble(r.GetNewtonRelaxationConvergence());
    for (int i = 0; i < kOutputFrequencyCount; ++i)
        s.WriteBool(r.GetFrequencyType(static_cast<OutputFrequency>(i)) != 0);
    for (int i = 0; i < kOutputFrequencyCount; ++i)
        s.WriteInt32(static_cast<std::int32_t>(r.GetFrequency(static_cast<OutputFrequency>(i))));
}

RecordLoad LoadRecord(JXStream& s, DorvixTimeStepOptions& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, 0, kTimeStepOptionsVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixTimeStepOptions r = record;
    if (version >= 1) {
        r.SetUseAutoTimeStepping(ReadInt(s));
        r.SetTimeStepDefineby(ReadInt(s));
        r.SetReserved(ReadInt(s));
        r.SetInitialTimeStep(ReadDouble(s));
        r.SetMaximumTimeStep(ReadDouble(s));
        r.SetMinimumTimeStep(ReadDouble(s));
        r.SetCarryOverTimeStep(ReadFlag(s));
        r.StoreStepSpan(ReadDouble(s));
    }
    if (version >= 2) {
        for (int i = 0; i < kNewtonControlCount; ++i)
            r.SetNewtonType(static_cast<NewtonControl>(i), ReadFlag(s));
        r.SetNewtonIterationMaximumNumber(static_cast<std::uint32_t>(ReadInt(s)));
        r.SetNewtonIterationOptimumNumber(static_cast<std::uint32_t>(ReadInt(s)));
        r.SetNewtonResidualNormConvergence(ReadDouble(s));
        r.SetNewtonEnergyConvergence(ReadDouble(s));
        r.SetNewtonStiffnessMatrixConvergence(ReadDouble(s));
        r.SetNewtonRelaxationConvergence(ReadDouble(s));
    }
    if (version >= 3) {
        for (int i = 0; i < kOutputFrequencyCount; ++i)
            r.SetFrequencyType(static_cast<OutputFrequency>(i), ReadFlag(s));
        for (int i = 0; i < kOutputFrequencyCount; ++i)
            r.SetFrequency(static_cast<OutputFrequency>(i), static_cast<std::uint32_t>(ReadInt(s)));
    }
    return Commit(s, record, r);
}

void SaveRecord(JXStream& s, const DorvixOutputControls& r) {
    s.WriteInt32(kSingleVersion);
    s.WriteInt32(static_cast<std::int32_t>(r.GetRequestedOutputs().size()));
    for (int code : r.GetRequestedOutputs()) s.WriteUInt16(static_cast<std::uint16_t>(code));
    s.WriteUInt32(r.GetResultSetsType());
    s.WriteInt32(static_cast<std::int32_t>(r.GetResultSets().size()));
    for (double v : r.GetResultSets()) s.WriteDouble(v);
    s.WriteUInt16(static_cast<std::uint16_t>(r.GetTimePointsOptions()));
    s.WriteUInt16(static_cast<std::uint16_t>(r.GetEquallySpaced()));
}

RecordLoad LoadRecord(JXStream& s, DorvixOutputControls& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, kSingleVersion, kSingleVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixOutputControls r = record;
    std::set<int> requested;
    std::uint32_t count = 0;
    if (s.ReadCount(count, sizeof(std::uint16_t))) {
        for (std::uint32_t i = 0; i < count; ++i)
            if (const std::uint16_t code = ReadUInt16(s); code != 0) requested.insert(code);
    }
    r.SetRequestedOutputs(std::move(requested));
    r.SetResultSetsType(ReadUInt(s));
    std::set<double> resultSets;
    if (s.ReadCount(count, sizeof(double))) {
        for (std::uint32_t i = 0; i < count; ++i) {
            const double v = ReadDouble(s);
            if (r.GetResultSetsType() != kResultSetsAuto) resultSets.insert(v);
        }
    }
    r.SetResultSets(std::move(resultSets));
    r.SetTimePointsOptions(ReadUInt16(s));
    r.SetEquallySpaced(ReadUInt16(s));
    return Commit(s, record, r);
}

void SaveRecord(JXStream& s, const DorvixSolverControls& r) {
    s.WriteInt32(kSolverControlsVersion);
    s.WriteUInt32(r.GetSolverType());
    s.WriteUInt32(r.GetManualSolver());
    s.WriteBool(r.GetUseLargeDeformation());
    s.WriteUInt32(r.GetWeakSprings());
    s.WriteUInt32(r.GetSpringsStiffnessType());
    s.WriteDouble(r.GetSpringsStiffnessFactor());
    s.WriteDouble(r.GetSpringsStiffnessValue());
    s.WriteDouble(r.GetReformulationTolerance());
    s.WriteUInt32(r.GetNonlinearFormulationType());
    s.WriteBool(r.GetDoInitialComputation());
    s.WriteBool(r.GetDoPrestressedStatic());
}

RecordLoad LoadRecord(JXStream& s, DorvixSolverControls& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, 1, kSolverControlsVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixSolverControls r = record;
    r.SetSolverType(ReadUInt(s));
    r.SetManualSolver(ReadUInt(s));
    r.SetUseLargeDeformation(ReadFlag(s));
    r.SetWeakSprings(ReadUInt(s));
    r.SetSpringsStiffnessType(ReadUInt(s));
    r.SetSpringsStiffnessFactor(ReadDouble(s));
    r.SetSpringsStiffnessValue(ReadDouble(s));
    r.SetReformulationTolerance(ReadDouble(s));
    r.SetNonlinearFormulationType(ReadUInt(s));
    if (version >= 2) r.SetDoInitialComputation(ReadFlag(s));
    if (version >= 3) r.SetDoPrestressedStatic(ReadFlag(s));
    return Commit(s, record, r);
}

void SaveRecord(JXStream& s, const DorvixSolverFileControls& r) {
    s.WriteInt32(kSingleVersion);
    s.WriteUInt16(static_cast<std::uint16_t>(r.GetPhysicsType()));
    s.WriteUInt16(static_cast<std::uint16_t>(r.GetAnalysisType()));
    s.WriteUInt16(static_cast<std::uint16_t>(r.GetFutureAnalysisType()));
    s.WriteUInt16(r.GetSolverUnits());
    WriteBSTR(s, std::wstring_view(r.GetSolverFilesDirectory()));
    WriteBSTR(s, std::wstring_view(r.GetSolverFilesRelativeDirectory()));
    WriteBSTR(s, std::wstring_view(r.GetAdditionalList()));
    s.WriteUInt16(r.GetSaveDorvixDB() ? 1 : 0);
    s.WriteUInt16(r.GetDeleteUnusedFiles() ? 1 : 0);
    WriteBSTR(s, std::wstring_view(r.GetResultFile()));
}

RecordLoad LoadRecord(JXStream& s, DorvixSolverFileControls& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, kSingleVersion, kSingleVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixSolverFileControls r = record;
    const std::uint16_t physics = ReadUInt16(s);
    const std::uint16_t analysis = ReadUInt16(s);
    r.SetTypes(analysis, physics);
    r.SetFutureAnalysisType(ReadUInt16(s));
    r.SetSolverUnits(ReadUInt16(s));
    std::wstring text;
    ReadBSTR(s, text);
    r.SetSolverFilesDirectory(text);
    ReadBSTR(s, text);
    r.SetSolverFilesRelativeDirectory(text);
    ReadBSTR(s, text);
    r.SetAdditionalList(text);
    r.SetSaveDorvixDB(ReadUInt16(s) != 0);
    r.SetDeleteUnusedFiles(ReadUInt16(s) != 0);
    ReadBSTR(s, text);
    r.SetResultFile(text);
    return Commit(s, record, r);
}

void SaveRecord(JXStream& s, const DorvixDampingControls& r) {
    s.WriteInt32(kSingleVersion);
    s.WriteDouble(r.GetConstantValue());
    s.WriteUInt32(r.GetBetaDampingDefinition());
    s.WriteDouble(r.GetBetaDamping());
    s.WriteDouble(r.GetFrequency());
    s.WriteDouble(r.GetMeasure());
    s.WriteDouble(r.GetNumericalValue());
}

RecordLoad LoadRecord(JXStream& s, DorvixDampingControls& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, kSingleVersion, kSingleVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixDampingControls r = record;
    r.SetConstantValue(ReadDouble(s));
    r.SetBetaDampingDefinition(ReadUInt(s));
    r.SetBetaDamping(ReadDouble(s));
    r.SetFrequency(ReadDouble(s));
    r.SetMeasure(ReadDouble(s));
    r.SetNumericalValue(ReadDouble(s));
    return Commit(s, record, r);
}

void SaveRecord(JXStream& s, const DorvixHarmonicControls& r) {
    s.WriteInt32(kSingleVersion);
    s.WriteDouble(r.GetForcingFrequencyMinimum());
    s.WriteDouble(r.GetForcingFrequencyMaximum());
    s.WriteInt32(r.GetIntervals());
    s.WriteBool(r.GetClustering());
    s.WriteBool(r.GetForcingFrequencyStepped());
    s.WriteInt32(r.GetHarmonicMethod());
    s.WriteInt32(r.GetModalFrequencyRange());
    s.WriteDouble(r.GetManualRangeMinimum());
    s.WriteDouble(r.GetManualRangeMaximum());
    s.WriteUInt32(r.GetManualRangeIntervals());
    s.WriteInt32(r.GetClusterNumber());
    s.WriteInt32(r.GetStoreResultsAtAllFrequencies());
}

RecordLoad LoadRecord(JXStream& s, DorvixHarmonicControls& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, kSingleVersion, kSingleVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixHarmonicControls r = record;
    r.SetForcingFrequencyMinimum(ReadDouble(s));
    r.SetForcingFrequencyMaximum(ReadDouble(s));
    r.SetIntervals(ReadInt(s));
    r.SetClustering(ReadFlag(s));
    r.SetForcingFrequencyStepped(ReadFlag(s));
    r.SetHarmonicMethod(ReadInt(s));
    r.SetModalFrequencyRange(ReadInt(s));
    r.SetManualRangeMinimum(ReadDouble(s));
    r.SetManualRangeMaximum(ReadDouble(s));
    r.SetManualRangeIntervals(ReadUInt(s));
    r.SetClusterNumber(ReadInt(s));
    r.SetStoreResultsAtAllFrequencies(ReadInt(s));
    return Commit(s, record, r);
}

void SaveRecord(JXStream& s, const DorvixModalControls& r) {
    s.WriteInt32(kModalControlsVersion);
    s.WriteUInt32(static_cast<std::uint32_t>(r.GetNumModesToFind()));
    s.WriteDouble(r.GetMinFrequency());
    s.WriteDouble(r.GetMaxFrequency());
    s.WriteBool(r.GetRangeSearch());
    s.WriteDouble(r.GetStoredRefTemperature());
    s.WriteInt32(static_cast<std::int32_t>(r.GetHarmonicIndex()));
}

RecordLoad LoadRecord(JXStream& s, DorvixModalControls& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, 0, kModalControlsVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixModalControls r = record;
    if (version >= 1) {
        r.StoreNumModesToFind(static_cast<std::int32_t>(ReadUInt(s)));
        const double minFrequency = ReadDouble(s);
        const double maxFrequency = ReadDouble(s);
        r.StoreFrequencyRange(minFrequency, maxFrequency);
        r.SetRangeSearch(ReadFlag(s));
    }
    if (version >= 2) r.StoreRefTemperature(ReadDouble(s));
    if (version >= 3) r.SetHarmonicIndex(static_cast<std::uint32_t>(ReadInt(s)));
    return Commit(s, record, r);
}

void SaveRecord(JXStream& s, const DorvixStepControls& r) {
    s.WriteInt32(kSingleVersion);
    s.WriteDouble(r.GetEndTime());
    s.WriteBool(r.GetTimeIntegration());
    s.WriteBool(r.GetInertialRelief());
    s.WriteUInt32(kStepSubRecordCount);
    s.WriteInt32(kOptionsSubRecordTag);
    SaveRecord(s, r.GetTimeStepOptions());
    s.WriteInt32(kOutputSubRecordTag);
    SaveRecord(s, r.GetOutputControls());
}

RecordLoad LoadRecord(JXStream& s, DorvixStepControls& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, kSingleVersion, kSingleVersion, version); v != RecordLoad::Loaded)
        return v;
    DorvixStepControls r = record;
    r.StoreEndTime(ReadDouble(s));
    r.SetTimeIntegration(ReadFlag(s));
    r.SetInertialRelief(ReadFlag(s));
    std::uint32_t count = 0;
    if (!s.ReadCount(count, kMinimumSubRecordBytes)) return RecordLoad::Failed;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::int32_t tag = ReadInt(s);
        RecordLoad loaded = RecordLoad::Failed;
        if (tag == kOptionsSubRecordTag)
            loaded = LoadRecord(s, r.GetTimeStepOptions());
        else if (tag == kOutputSubRecordTag)
            loaded = LoadRecord(s, r.GetOutputControls());
        else
            s.Fail();  // an unknown sub-record cannot be skipped
        // A sub-record of another version cannot be passed over either: the step is not read.
        if (loaded != RecordLoad::Loaded) return loaded;
    }
    if (!s.Good()) return RecordLoad::Failed;
    record = std::move(r);
    return RecordLoad::Loaded;
}

void SaveRecord(JXStream& s, const DorvixStepControlsList& r) {
    s.WriteInt32(kSingleVersion);
    s.WriteInt32(r.GetCount());
    for (int i = 1; i <= r.GetCount(); ++i) SaveRecord(s, *r.GetStep(i));
}

RecordLoad LoadRecord(JXStream& s, DorvixStepControlsList& record) {
    std::int32_t version = 0;
    if (const RecordLoad v = ReadVersion(s, kSingleVersion, kSingleVersion, version); v != RecordLoad::Loaded)
        return v;
    std::uint32_t count = 0;
    if (!s.ReadCount(count, kMinimumStepBytes)) return RecordLoad::Failed;
    if (count > static_cast<std::uint32_t>(kMaxStepCount)) {
        s.Fail();
        return RecordLoad::Failed;
    }
    DorvixStepControlsList loaded(record.GetOwner());
    loaded.DeleteAllSteps();
    for (std::uint32_t i = 0; i < count; ++i)
        if (const RecordLoad step = LoadRecord(s, loaded.AppendTemplateStep()); step != RecordLoad::Loaded)
            return step;
    if (!s.Good()) return RecordLoad::Failed;
    if (!loaded.HasOrderedEndTimes()) {
        s.Fail();
        return RecordLoad::Failed;
    }
    record.TakeStepsFrom(loaded);
    return RecordLoad::Loaded;
}
