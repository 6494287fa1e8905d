// The settings' binary records: round trips in both byte orders, layout, other versions, short or bad bytes.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <typeinfo>

#include "settings/record_stream.h"
#include "settings/settings_factory.h"
#include "settings_test_support.h"

namespace {

using settings_test::FilledObjects;
using settings_test::FreshLike;
using settings_test::ResumeBytes;
using settings_test::SaveBytes;

// The class name of a settings object, for failure messages.
const char* ClassName(const DorvixSolutionSettings& settings) { return typeid(settings).name(); }

// Bytes written through a stream with the byte-order mark, for records built by hand.
class HandStream {
  public:
    HandStream() { stream_.BeginWrite(); }
    JXStream& operator*() { return stream_; }
    JXStream* operator->() { return &stream_; }
    // A reading stream over what was written.
    std::unique_ptr<JXStream> Reader() {
        auto reader = std::make_unique<JXStream>(std::make_unique<JXMemoryChannel>(channel_.Bytes()));
        reader->BeginRead();
        return reader;
    }
    const std::vector<std::uint8_t>& Bytes() const { return channel_.Bytes(); }

  private:
    JXMemoryChannel channel_;
    JXStream stream_{channel_};
};

TEST(BinaryRecords, EveryClassRoundTripsItsValuesInBothByteOrders) {
    for (const auto& source : FilledObjects()) {
        for (JXByteOrder order : {JXByteOrder::Little, JXByteOrder::Big}) {
            auto target = FreshLike(*source);
            ASSERT_FALSE(*target == *source) << ClassName(*source);
            ASSERT_EQ(ResumeBytes(*target, SaveBytes(*source, order)), S_OK) << ClassName(*source);
            EXPECT_TRUE(*target == *source) << ClassName(*source);
        }
    }
}

TEST(BinaryRecords, EveryTruncationFailsAndLeavesTheObjectAsItWas) {
    for (const auto& source : FilledObjects()) {
        const std::vector<std::uint8_t> bytes = SaveBytes(*source);
        auto target = FreshLike(*source);
        auto pristine = FreshLike(*source);
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            const std::vector<std::uint8_t> cut(bytes.begin(),
                                                bytes.begin() + static_cast<std::ptrdiff_t>(size));
            ASSERT_EQ(ResumeBytes(*target, cut), E_FAIL) << ClassName(*source) << " at " << size;
            ASSERT_TRUE(*target == *pristine) << ClassName(*source) << " at " << size;
        }
    }
}

TEST(BinaryRecords, StoredTypesMustBeTheObjectsTypes) {
    DorvixStaticMechanicalSettings statics;
    DorvixStaticThermalSettings thermal;
    settings_test::FillStepSettings(thermal);
    EXPECT_EQ(ResumeBytes(statics, SaveBytes(thermal)), E_FAIL);
    EXPECT_TRUE(statics == DorvixStaticMechanicalSettings());
    DorvixModalMechanicalSettings modal;
    EXPECT_EQ(ResumeBytes(modal, SaveBytes(DorvixBucklingMechanicalSettings())), E_FAIL);
}

TEST(BinaryRecords, DefaultStaticStructuralLayout) {
    const std::vector<std::uint8_t> bytes = SaveBytes(DorvixStaticMechanicalSettings());
    JXMemoryChannel channel(bytes);
    JXStream s(channel);
    ASSERT_TRUE(s.BeginRead());
    std::int32_t i = 0;
    std::uint32_t u = 0;
    double d = 0;
    bool b = false;
    std::uint16_t h = 0;
    auto int32 = [&] {
        s.ReadInt32(&i);
        return i;
    };
    auto uint32 = [&] {
        s.ReadUInt32(&u);
        return u;
    };
    auto uint16 = [&] {
        s.ReadUInt16(&h);
        return h;
    };
    auto real = [&] {
        s.ReadDouble(&d);
        return d;
    };
    auto flag = [&] {
        s.ReadBool(&b);
        return b;
    };
    EXPECT_EQ(int32(), 1);    // base version
    EXPECT_EQ(uint32(), 1u);  // mechanical
    EXPECT_EQ(uint32(), 0u);  // static
    EXPECT_EQ(uint32(), 3u);  // sections
    EXPECT_EQ(int32(), 3);    // solver controls
    EXPECT_EQ(int32(), 3);    // version 3
    EXPECT_EQ(uint32(), 1u);  // SolverType
    EXPECT_EQ(uint32(), 5u);  // ManualSolver
    EXPECT_FALSE(flag());
    EXPECT_EQ(uint32(), 0u);
    EXPECT_EQ(uint32(), 0u);
    EXPECT_EQ(real(), 1.0);
    EXPECT_EQ(real(), 0.0);
    EXPECT_EQ(real(), 0.05);
    EXPECT_EQ(uint32(), 0u);
    EXPECT_FALSE(flag());
    EXPECT_FALSE(flag());
    EXPECT_EQ(int32(), 5);  // step list
    EXPECT_EQ(int32(), 1);
    EXPECT_EQ(int32(), 1);   // one step
    EXPECT_EQ(int32(), 1);   // step version
    EXPECT_EQ(real(), 1.0);  // end time
    EXPECT_FALSE(flag());
    EXPECT_FALSE(flag());
    EXPECT_EQ(uint32(), 2u);  // sub-records
    EXPECT_EQ(int32(), 0);    // time-step options
    EXPECT_EQ(int32(), 3);
    EXPECT_EQ(int32(), 0);  // program controlled
    EXPECT_EQ(int32(), 0);  // by sub-steps
    EXPECT_EQ(int32(), 0);  // reserved
    EXPECT_EQ(real(), 1.0);
    EXPECT_EQ(real(), 1.0);
    EXPECT_EQ(real(), 0.1);
    EXPECT_FALSE(flag());
    EXPECT_EQ(real(), 1.0);  // span
    for (int k = 0; k < 6; ++k) EXPECT_FALSE(flag());
    EXPECT_EQ(int32(), 10);
    EXPECT_EQ(int32(), 6);
    EXPECT_EQ(real(), 0.001);
    EXPECT_EQ(real(), 0.001);
    EXPECT_EQ(real(), 1e-10);
    EXPECT_EQ(real(), 1e-9);
    for (int k = 0; k < 6; ++k) EXPECT_FALSE(flag());
    for (int k = 0; k < 5; ++k) EXPECT_EQ(int32(), 10);
    EXPECT_EQ(int32(), 1);
    EXPECT_EQ(int32(), 2);  // output controls
    EXPECT_EQ(int32(), 1);
    EXPECT_EQ(int32(), 4);  // requested 1..4
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(uint16(), k);
    EXPECT_EQ(uint32(), 0u);
    EXPECT_EQ(int32(), 0);
    EXPECT_EQ(uint16(), 0);
    EXPECT_EQ(uint16(), 1);
    EXPECT_EQ(int32(), 7);  // solver-file controls
    EXPECT_EQ(int32(), 1);
    EXPECT_EQ(uint16(), 1);
    EXPECT_EQ(uint16(), 0);
    EXPECT_EQ(uint16(), 0);
    EXPECT_EQ(uint16(), 0xFFFF);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(uint32(), 0u);  // empty strings
    EXPECT_EQ(uint16(), 1);
    EXPECT_EQ(uint16(), 1);
    EXPECT_EQ(uint32(), 0u);
    EXPECT_TRUE(s.Good());
    EXPECT_EQ(s.BytesLeft(), 0u);
}

TEST(BinaryRecords, OldTimeStepOptionsKeepNewerFields) {
    HandStream w;
    w->WriteInt32(1);
    w->WriteInt32(kOn);
    w->WriteInt32(kDefineBySubSteps);
    w->WriteInt32(9);
    w->WriteDouble(0.2);
    w->WriteDouble(0.4);
    w->WriteDouble(0.1);
    w->WriteBool(true);
    w->WriteDouble(2.0);
    DorvixTimeStepOptions o;
    o.SetNewtonIterationMaximumNumber(44);
    o.SetPrintingFrequencyNodalResults(3);
    auto r = w.Reader();
    ASSERT_EQ(LoadRecord(*r, o), RecordLoad::Loaded);
    EXPECT_EQ(o.GetUseAutoTimeStepping(), kOn);
    EXPECT_EQ(o.GetReserved(), 9);
    EXPECT_EQ(o.GetMaximumTimeStep(), 0.4);
    EXPECT_TRUE(o.GetCarryOverTimeStep());
    EXPECT_EQ(o.GetStepSpan(), 2.0);
    EXPECT_EQ(o.GetNewtonIterationMaximumNumber(), 44u);
    EXPECT_EQ(o.GetPrintingFrequencyNodalResults(), 3u);

    HandStream empty;  // version 0 holds nothing
    empty->WriteInt32(0);
    DorvixTimeStepOptions unchanged = o;
    r = empty.Reader();
    EXPECT_EQ(LoadRecord(*r, o), RecordLoad::Loaded);
    EXPECT_EQ(o, unchanged);
}

TEST(BinaryRecords, RecordsOfOtherVersionsAreLeftAsTheyWere) {
    for (std::int32_t version : {4, -1}) {
        HandStream w;
        w->WriteInt32(version);
        for (int k = 0; k < 40; ++k) w->WriteInt32(0);
        DorvixTimeStepOptions o;
        o.SetReserved(5);
        auto r = w.Reader();
        EXPECT_EQ(LoadRecord(*r, o), RecordLoad::OtherVersion);
        EXPECT_TRUE(r->Good());
        EXPECT_EQ(o.GetReserved(), 5);
    }
    HandStream w;
    w->WriteInt32(2);  // single-version record
    DorvixDampingControls d;
    d.SetNumericalValue(0.5);
    auto r = w.Reader();
    EXPECT_EQ(LoadRecord(*r, d), RecordLoad::OtherVersion);
    EXPECT_EQ(d.GetNumericalValue(), 0.5);
}

// A project saved by another version keeps what can be read: the sections before a record of
// another version, not that one nor the ones after it, which can no longer be found.
TEST(BinaryRecords, AnotherVersionEndsTheReadAndKeepsWhatWasRead) {
    DorvixStaticMechanicalSettings source;
    settings_test::FillStepSettings(source);
    const auto streamWith = [&](const std::function<void(JXStream&)>& stepList) {
        HandStream w;
        w->WriteInt32(1);
        w->WriteUInt32(kMechanicalPhysics);
        w->WriteUInt32(kStaticAnalysis);
        w->WriteUInt32(3);
        w->WriteInt32(kSolverControlsTag);
        SaveRecord(*w, source.GetSolverControls());
        w->WriteInt32(kStepListTag);
        stepList(*w);
        w->WriteInt32(kSolverFileControlsTag);
        SaveRecord(*w, source.GetSolverFileControls());
        return w.Bytes();
    };
    const std::vector<std::uint8_t> otherList = streamWith([](JXStream& s) {
        s.WriteInt32(2);  // a step list of another version
        s.WriteInt32(0);
    });
    // Inside the list, the time-step options of the second step are of a later version.
    const std::vector<std::uint8_t> otherOptions = streamWith([&](JXStream& s) {
        s.WriteInt32(1);
        s.WriteInt32(2);
        SaveRecord(s, *source.GetStepList().GetStep(1));
        s.WriteInt32(1);
        s.WriteDouble(4.0);
        s.WriteBool(false);
        s.WriteBool(true);
        s.WriteUInt32(2);
        s.WriteInt32(0);
        s.WriteInt32(4);
    });
    for (const auto& bytes : {otherList, otherOptions}) {
        DorvixStaticMechanicalSettings target;
        const DorvixStaticMechanicalSettings defaults;
        ASSERT_EQ(ResumeBytes(target, bytes), S_OK);
        EXPECT_EQ(target.GetSolverControls(), source.GetSolverControls());
        EXPECT_TRUE(target.GetStepList() == defaults.GetStepList());
        EXPECT_EQ(target.GetSolverFileControls(), defaults.GetSolverFileControls());
    }
}

// Every stored value must be one the object can write to its XML form and read back.
TEST(BinaryRecords, ValuesTheXmlFormCannotCarryAreRefused) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    using Spoil = std::function<void(DorvixSolutionSettings&)>;
    const auto step = [](DorvixSolutionSettings& s) -> DorvixStepControls& {
        return *s.GetStepControlsAs<DorvixStepControls>(1, kStepSelector);
    };
    const auto options = [&](DorvixSolutionSettings& s) -> DorvixTimeStepOptions& {
        return step(s).GetTimeStepOptions();
    };
    const auto solver = [](DorvixSolutionSettings& s) -> DorvixSolverControls& {
        return *s.GetControlsAs<DorvixSolverControls>(kSolverControlsTag);
    };
    const auto harmonic = [](DorvixSolutionSettings& s) -> DorvixHarmonicControls& {
        return *s.GetControlsAs<DorvixHarmonicControls>(kHarmonicControlsTag);
    };
    const auto transient = [] { return std::make_unique<DorvixTransientMechanicalSettings>(); };
    const auto harmonicObject = [] { return std::make_unique<DorvixHarmonicMechanicalSettings>(); };
    const auto modal = [] { return std::make_unique<DorvixModalMechanicalSettings>(); };
    struct Case {
        const char* what;
        std::function<std::unique_ptr<DorvixSolutionSettings>()> make;
        Spoil spoil;
    };
    const std::vector<Case> cases = {
        {"time stepping 3", transient, [&](auto& s) { options(s).SetUseAutoTimeStepping(3); }},
        {"defined by 7", transient, [&](auto& s) { options(s).SetTimeStepDefineby(7); }},
        {"undefined initial step", transient, [&](auto& s) { options(s).SetInitialTimeStep(nan); }},
        {"infinite span", transient, [&](auto& s) { options(s).StoreStepSpan(inf); }},
        {"infinite tolerance", transient, [&](auto& s) { options(s).SetNewtonEnergyConvergence(-inf); }},
        {"undefined result time", transient,
         [&](auto& s) {
             step(s).GetOutputControls().SetResultSetsType(kResultSetsManual);
             step(s).GetOutputControls().SetResultSets({nan});
         }},
        {"result sets type 2", transient, [&](auto& s) { step(s).GetOutputControls().SetResultSetsType(2); }},
        {"time points 3", transient, [&](auto& s) { step(s).GetOutputControls().SetTimePointsOptions(3); }},
        {"solver type 4", transient, [&](auto& s) { solver(s).SetSolverType(4); }},
        {"weak springs 3", transient, [&](auto& s) { solver(s).SetWeakSprings(3); }},
        {"stiffness kind 3", transient, [&](auto& s) { solver(s).SetSpringsStiffnessType(3); }},
        {"formulation 3", transient, [&](auto& s) { solver(s).SetNonlinearFormulationType(3); }},
        {"undefined tolerance", transient, [&](auto& s) { solver(s).SetReformulationTolerance(nan); }},
        {"future analysis 6", transient,
         [](auto& s) {
             s.template GetControlsAs<DorvixSolverFileControls>(kSolverFileControlsTag)
                 ->SetFutureAnalysisType(6);
         }},
        {"beta definition 2", transient,
         [](auto& s) {
             s.template GetControlsAs<DorvixDampingControls>(kDampingControlsTag)
                 ->SetBetaDampingDefinition(2);
         }},
        {"infinite damping", transient,
         [](auto& s) {
             s.template GetControlsAs<DorvixDampingControls>(kDampingControlsTag)->SetMeasure(inf);
         }},
        {"harmonic method 2", harmonicObject, [&](auto& s) { harmonic(s).SetHarmonicMethod(2); }},
        {"modal range 2", harmonicObject, [&](auto& s) { harmonic(s).SetModalFrequencyRange(2); }},
        {"store results 2", harmonicObject, [&](auto& s) { harmonic(s).SetStoreResultsAtAllFrequencies(2); }},
        {"undefined forcing frequency", harmonicObject,
         [&](auto& s) { harmonic(s).SetForcingFrequencyMaximum(nan); }},
        {"infinite reference temperature", modal,
         [](auto& s) {
             s.template GetControlsAs<DorvixModalControls>(kModalControlsTag)->StoreRefTemperature(inf);
         }},
        {"undefined maximum frequency", modal,
         [](auto& s) {
             s.template GetControlsAs<DorvixModalControls>(kModalControlsTag)->StoreFrequencyRange(1.0, nan);
         }},
    };
    for (const Case& c : cases) {
        auto source = c.make();
        c.spoil(*source);
        auto target = c.make();
        const auto pristine = c.make();
        EXPECT_EQ(ResumeBytes(*target, SaveBytes(*source)), E_FAIL) << c.what;
        EXPECT_TRUE(*target == *pristine) << c.what;
    }
}

TEST(BinaryRecords, OlderVersionsReadOnlyTheFieldsTheyHold) {
    // Time-step options of version 2: time stepping and Newton controls, no frequencies.
    HandStream options;
    options->WriteInt32(2);
    options->WriteInt32(kOff);
    options->WriteInt32(kDefineByTime);
    options->WriteInt32(0);
    for (double d : {0.25, 0.5, 0.125}) options->WriteDouble(d);
    options->WriteBool(false);
    options->WriteDouble(3.0);
    for (int k = 0; k < 6; ++k) options->WriteBool(k == 4);
    options->WriteInt32(31);
    options->WriteInt32(4);
    for (double d : {1e-2, 2e-2, 3e-2, 4e-2}) options->WriteDouble(d);
    DorvixTimeStepOptions o;
    o.SetStorageFrequencySelectedResultsType(kManualType);
    o.SetStorageFrequencySelectedResults(17);
    auto r = options.Reader();
    ASSERT_EQ(LoadRecord(*r, o), RecordLoad::Loaded);
    EXPECT_EQ(r->BytesLeft(), 0u);
    EXPECT_EQ(o.GetUseAutoTimeStepping(), kOff);
    EXPECT_EQ(o.GetMaximumTimeStep(), 0.5);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.125);
    EXPECT_EQ(o.GetNewtonStiffnessMatrixConvergenceType(), kManualType);
    EXPECT_EQ(o.GetNewtonIterationMaximumNumberType(), kProgramControlledType);
    EXPECT_EQ(o.GetNewtonIterationMaximumNumber(), 31u);
    EXPECT_EQ(o.GetNewtonIterationOptimumNumber(), 4u);
    EXPECT_EQ(o.GetNewtonRelaxationConvergence(), 4e-2);
    EXPECT_EQ(o.GetStorageFrequencySelectedResultsType(), kManualType);
    EXPECT_EQ(o.GetStorageFrequencySelectedResults(), 17u);

    // Solver controls of version 1 end before DoInitialComputation.
    HandStream solver;
    solver->WriteInt32(1);
    for (std::uint32_t u : {kSolverSparse, kSolverDual}) solver->WriteUInt32(u);
    solver->WriteBool(true);
    for (std::uint32_t u : {1u, 2u}) solver->WriteUInt32(u);
    for (double d : {3.0, 4.0, 0.5}) solver->WriteDouble(d);
    solver->WriteUInt32(kFormulationFull);
    DorvixSolverControls s;
    s.SetDoInitialComputation(true);
    s.SetDoPrestressedStatic(true);
    r = solver.Reader();
    ASSERT_EQ(LoadRecord(*r, s), RecordLoad::Loaded);
    EXPECT_EQ(r->BytesLeft(), 0u);
    EXPECT_EQ(s.GetSolverType(), kSolverSparse);
    EXPECT_EQ(s.GetManualSolver(), kSolverDual);
    EXPECT_EQ(s.GetSpringsStiffnessValue(), 4.0);
    EXPECT_EQ(s.GetNonlinearFormulationType(), kFormulationFull);
    EXPECT_TRUE(s.GetDoInitialComputation());
    EXPECT_TRUE(s.GetDoPrestressedStatic());

    // Modal controls of version 1 hold neither the reference temperature nor the harmonic index.
    HandStream modal;
    modal->WriteInt32(1);
    modal->WriteUInt32(9);
    modal->WriteDouble(2.0);
    modal->WriteDouble(20.0);
    modal->WriteBool(true);
    DorvixModalControls m;
    m.StoreRefTemperature(280.0);
    m.SetHarmonicIndex(2);
    r = modal.Reader();
    ASSERT_EQ(LoadRecord(*r, m), RecordLoad::Loaded);
    EXPECT_EQ(r->BytesLeft(), 0u);
    EXPECT_EQ(m.GetNumModesToFind(), 9);
    EXPECT_EQ(m.GetMinFrequency(), 2.0);
    EXPECT_EQ(m.GetStoredRefTemperature(), 280.0);
    EXPECT_EQ(m.GetHarmonicIndex(), 2u);
}

TEST(BinaryRecords, StoredFlagsAndTexts) {
    // Booleans count only as the byte 1; the 16-bit flags of the solver-file record as non-zero.
    HandStream step;
    step->WriteInt32(1);
    step->WriteDouble(2.0);
    step->WriteByte(2);
    step->WriteByte(1);
    step->WriteUInt32(0);  // no sub-records
    DorvixStepControls loadedStep;
    loadedStep.SetTimeIntegration(true);
    auto r = step.Reader();
    ASSERT_EQ(LoadRecord(*r, loadedStep), RecordLoad::Loaded);
    EXPECT_FALSE(loadedStep.GetTimeIntegration());
    EXPECT_TRUE(loadedStep.GetInertialRelief());
    EXPECT_EQ(loadedStep.GetEndTime(), 2.0);

    const auto fileRecord = [](std::uint16_t save, bool terminated) {
        auto w = std::make_unique<HandStream>();
        (*w)->WriteInt32(1);
        for (std::uint16_t h : {2, 0, 3, 7}) (*w)->WriteUInt16(h);
        WriteBSTR(**w, std::wstring_view(L"dir"));
        (*w)->WriteUInt32(0);  // a null text
        (*w)->WriteUInt32(2);
        (*w)->WriteUInt16('a');
        (*w)->WriteUInt16('b');
        (*w)->WriteUInt16(terminated ? 0 : 'c');
        (*w)->WriteUInt16(save);
        (*w)->WriteUInt16(0);
        WriteBSTR(**w, std::wstring_view(L"r.res"));
        return w;
    };
    DorvixSolverFileControls files;
    files.SetSolverFilesRelativeDirectory(L"old");
    auto good = fileRecord(2, true);
    r = good->Reader();
    ASSERT_EQ(LoadRecord(*r, files), RecordLoad::Loaded);
    EXPECT_EQ(files.GetPhysicsType(), 2u);
    EXPECT_EQ(files.GetAnalysisType(), 0u);
    EXPECT_EQ(files.GetFutureAnalysisType(), 3u);
    EXPECT_EQ(files.GetSolverUnits(), 7u);
    EXPECT_EQ(files.GetSolverFilesDirectory(), L"dir");
    EXPECT_EQ(files.GetSolverFilesRelativeDirectory(), L"");
    EXPECT_EQ(files.GetAdditionalList(), L"ab");
    EXPECT_TRUE(files.GetSaveDorvixDB());
    EXPECT_FALSE(files.GetDeleteUnusedFiles());
    EXPECT_EQ(files.GetResultFile(), L"r.res");

    // A text without its terminating zero is corrupt: the record stays as it was.
    const DorvixSolverFileControls before = files;
    auto bad = fileRecord(1, false);
    r = bad->Reader();
    EXPECT_EQ(LoadRecord(*r, files), RecordLoad::Failed);
    EXPECT_TRUE(files == before);
}

TEST(BinaryRecords, CorruptBytesNeverHalfLoadAnObject) {
    for (const auto& source : FilledObjects()) {
        const std::vector<std::uint8_t> bytes = SaveBytes(*source);
        const auto pristine = FreshLike(*source);
        int failures = 0;
        for (std::size_t at = 4; at < bytes.size(); ++at) {
            for (std::uint8_t mask : {0xFF, 0x80}) {
                std::vector<std::uint8_t> corrupt = bytes;
                corrupt[at] ^= mask;
                auto target = FreshLike(*source);
                if (ResumeBytes(*target, corrupt) == S_OK) continue;  // a value changed, the layout held
                ++failures;
                ASSERT_TRUE(*target == *pristine) << ClassName(*source) << " at " << at;
            }
        }
        // Versions, tags, counts and types are spread over every record: many flips must fail.
        EXPECT_GT(failures, 20) << ClassName(*source);
    }
}

TEST(BinaryRecords, SolverControlsVersionTwoKeepsPrestressedStatic) {
    DorvixSolverControls source;
    source.SetDoInitialComputation(true);
    source.SetDoPrestressedStatic(true);
    HandStream w;
    SaveRecord(*w, source);
    std::vector<std::uint8_t> bytes = w.Bytes();
    bytes[4] = 2;      // version field behind the 4-byte mark (little-endian)
    bytes.pop_back();  // version 2 has no DoPrestressedStatic
    JXMemoryChannel channel(bytes);
    JXStream r(channel);
    ASSERT_TRUE(r.BeginRead());
    DorvixSolverControls target;
    ASSERT_EQ(LoadRecord(r, target), RecordLoad::Loaded);
    EXPECT_TRUE(target.GetDoInitialComputation());
    EXPECT_FALSE(target.GetDoPrestressedStatic());
}

TEST(BinaryRecords, ModalVersionTwoKeepsTheHarmonicIndex) {
    HandStream w;
    w->WriteInt32(2);
    w->WriteUInt32(0);  // stored as it stands, not through the setter
    w->WriteDouble(1.0);
    w->WriteDouble(50.0);
    w->WriteBool(true);
    w->WriteDouble(300.0);
    DorvixModalControls m;
    m.SetHarmonicIndex(8);
    auto r = w.Reader();
    ASSERT_EQ(LoadRecord(*r, m), RecordLoad::Loaded);
    EXPECT_EQ(m.GetNumModesToFind(), 0);
    EXPECT_EQ(m.GetMaxFrequency(), 50.0);
    EXPECT_TRUE(m.GetRangeSearch());
    EXPECT_EQ(m.GetStoredRefTemperature(), 300.0);
    EXPECT_EQ(m.GetHarmonicIndex(), 8u);
}

TEST(BinaryRecords, AutomaticResultSetsDropStoredValues) {
    HandStream w;
    w->WriteInt32(1);
    w->WriteInt32(3);
    w->WriteUInt16(1);
    w->WriteUInt16(0);  // zero codes are skipped
    w->WriteUInt16(5);
    w->WriteUInt32(kResultSetsAuto);
    w->WriteInt32(2);
    w->WriteDouble(1.0);
    w->WriteDouble(2.0);
    w->WriteUInt16(kTimePointsEquallySpaced);
    w->WriteUInt16(12);
    DorvixOutputControls o({1, 2});
    o.SetResultSets({9.0});
    auto r = w.Reader();
    ASSERT_EQ(LoadRecord(*r, o), RecordLoad::Loaded);
    EXPECT_TRUE(o.GetResultSets().empty());
    EXPECT_EQ(o.GetRequestedOutputs(), (std::set<int>{1, 5}));
    EXPECT_EQ(o.GetSupportedOutputs(), (std::set<int>{1, 2}));
    EXPECT_EQ(o.GetTimePointsOptions(), kTimePointsEquallySpaced);
    EXPECT_EQ(o.GetEquallySpaced(), 12);
}

TEST(BinaryRecords, CountsBeyondTheBytesLeftFail) {
    HandStream w;
    w->WriteInt32(1);
    w->WriteInt32(0x10000000);  // requested codes
    DorvixOutputControls o;
    auto r = w.Reader();
    EXPECT_EQ(LoadRecord(*r, o), RecordLoad::Failed);

    HandStream list;
    list->WriteInt32(1);
    list->WriteInt32(-1);  // steps
    DorvixStepControlsList steps;
    r = list.Reader();
    EXPECT_EQ(LoadRecord(*r, steps), RecordLoad::Failed);
    EXPECT_EQ(steps.GetCount(), 1);
}

TEST(BinaryRecords, StepsMustFollowOneAnotherInTime) {
    // A stored list is held to the same order as a document: finite end times increasing from
    // a positive first one.
    const auto listOf = [](std::initializer_list<double> endTimes) {
        HandStream w;
        w->WriteInt32(1);
        w->WriteInt32(static_cast<std::int32_t>(endTimes.size()));
        for (double t : endTimes) {
            DorvixStepControls step;
            step.StoreEndTime(t);
            SaveRecord(*w, step);
        }
        return w.Bytes();
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& bad : {listOf({2.0, 1.0}), listOf({1.0, 1.0}), listOf({0.0, 1.0}), listOf({-1.0}),
                            listOf({1.0, nan}), listOf({1.0, inf})}) {
        DorvixStepControlsList steps;
        JXMemoryChannel channel(bad);
        JXStream r(channel);
        ASSERT_TRUE(r.BeginRead());
        EXPECT_EQ(LoadRecord(r, steps), RecordLoad::Failed);
        ASSERT_EQ(steps.GetCount(), 1);
        EXPECT_EQ(steps.GetStep(1)->GetEndTime(), 1.0);
    }
    DorvixStepControlsList steps;
    JXMemoryChannel channel(listOf({0.5, 1.5, 4.0}));
    JXStream r(channel);
    ASSERT_TRUE(r.BeginRead());
    ASSERT_EQ(LoadRecord(r, steps), RecordLoad::Loaded);
    ASSERT_EQ(steps.GetCount(), 3);
    EXPECT_EQ(steps.GetStep(3)->GetEndTime(), 4.0);
}

TEST(BinaryRecords, ASectionTheClassDoesNotHoldFails) {
    DorvixStaticMechanicalSettings statics;
    HandStream w;
    w->WriteInt32(1);
    w->WriteUInt32(kMechanicalPhysics);
    w->WriteUInt32(kStaticAnalysis);
    w->WriteUInt32(1);
    w->WriteInt32(kDampingControlsTag);  // static analyses hold no damping
    SaveRecord(*w, DorvixDampingControls());
    auto r = w.Reader();
    EXPECT_EQ(statics.ResumeDB(*r), E_FAIL);
}

TEST(BinaryRecords, TransientStructuralStepsBecomeAutomatic) {
    DorvixTransientMechanicalSettings transient;
    transient.GetStepList().GetStep(1)->GetTimeStepOptions().SetUseAutoTimeStepping(kProgramControlled);
    DorvixTransientMechanicalSettings loaded;
    ASSERT_EQ(ResumeBytes(loaded, SaveBytes(transient)), S_OK);
    EXPECT_EQ(loaded.GetStepList().GetStep(1)->GetTimeStepOptions().GetUseAutoTimeStepping(), kOn);

    DorvixStaticMechanicalSettings statics;
    DorvixStaticMechanicalSettings loadedStatic;
    ASSERT_EQ(ResumeBytes(loadedStatic, SaveBytes(statics)), S_OK);
    EXPECT_EQ(loadedStatic.GetStepList().GetStep(1)->GetTimeStepOptions().GetUseAutoTimeStepping(),
              kProgramControlled);
}

TEST(BinaryRecords, LoadedStepsTakeTheTemplateCodes) {
    DorvixStaticMechanicalSettings source;
    source.GetStepList().GetStep(1)->SetStepCodes({9});
    DorvixStaticMechanicalSettings loaded;
    ASSERT_EQ(ResumeBytes(loaded, SaveBytes(source)), S_OK);
    EXPECT_EQ(loaded.GetStepList().GetStep(1)->GetStepCodes(), (std::set<int>{2, 3, 4}));
}

}  // namespace
