// The add-in's access to study parameters on a file-backed host: values by kind, bounds, names, settings.
#include "addin/host_parameter_access.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "addin/host_named_properties.h"
#include "addin/host_parameter_values.h"
#include "addin/host_study_parameters.h"
#include "hostsim/host_sim.h"
#include "platform/creation_registry.h"

namespace {

// A file-backed host whose study holds the parameters given as the host.json array.
class StudyHost {
  public:
    explicit StudyHost(const std::string& parameters) {
        auto hostCase = std::make_shared<HostSimCase>();
        ReadHostJson("{\"parameters\": " + parameters + "}", "host.json", *hostCase);
        host_ = std::make_unique<HostSim>(hostCase);
        EXPECT_EQ(CoCreateInstance(CLSID_HostParameterManager, study_), S_OK);
    }
    IHostStudy* Study() const { return study_.Get(); }
    ComPtr<IHostParameter> Parameter(int index) const {
        ComPtr<IHostParameter> p;
        EXPECT_EQ(study_->GetParameter(index, p.ReleaseAndGetAddressOf()), S_OK);
        return p;
    }
    HostSim& Host() { return *host_; }

  private:
    std::unique_ptr<HostSim> host_;
    ComPtr<IHostStudy> study_;
};

std::string One(const std::string& members) { return "[{\"name\": \"p\", " + members + "}]"; }

constexpr double kUntouched = -123.0;

TEST(ParameterValueAsDouble, ReadsEachKindAndAnswersTheHostsFailures) {
    const struct {
        const char* members;
        HRESULT answer;
        double out;
    } cases[] = {
        {R"("kind": 0, "subKind": 0, "value": 2.5)", S_OK, 2.5},
        // The host answers a derived real only through its expression interface.
        {R"("kind": 0, "subKind": 1, "value": 3.5)", S_OK, 3.5},
        {R"("kind": 5, "subKind": 1, "value": 4.5)", S_OK, 4.5},
        {R"("kind": 5, "subKind": 0, "value": 4.5)", E_FAIL, kUntouched},
        {R"("kind": 4)", E_FAIL, kUntouched},
        {R"("kind": 9)", E_FAIL, kUntouched},
        {R"("kind": 0, "subKind": 0)", E_FAIL, kUntouched},  // the host has no value to give
        {R"("kind": 1, "list": {"values": [10, 20, 30], "current": 2})", S_OK, 30.0},
        // Without a current entry the list is asked for entry -1, which this host refuses.
        {R"("kind": 1, "list": {"values": [10, 20, 30]})", E_INVALIDARG, kUntouched},
        {R"("kind": 2, "table": {"current": 1, "entries": [[1, 5], [2, 6.5]]})", S_OK, 6.5},
        {R"("kind": 2, "table": {"current": 1, "entries": [[1, 5], [2, "7.25"]]})", S_OK, 7.25},
        {R"("kind": 2, "table": {"current": 1, "entries": [[1, 5], [2, "soft"]]})", DISP_E_TYPEMISMATCH,
         kUntouched},
        {R"("kind": 2, "table": {"entries": [[1, 5], [2, 6.5]]})", S_OK, 0.0},
        {R"("kind": 2, "table": {"current": 1, "entries": [[1, 5], []]})", E_INVALIDARG, kUntouched},
        {R"("kind": 2, "table": {"current": 0, "entries": [["steel", 5]]})", E_FAIL, kUntouched},
        {R"("kind": 2, "table": {"entries": []})", E_FAIL, kUntouched},
        {R"("kind": 2, "table": {"entries": [[]]})", E_FAIL, kUntouched},
        {R"("kind": 3, "integer": {"value": -7})", S_OK, -7.0},
        {R"("kind": 3, "integer": {})", E_FAIL, 0.0},  // the failed read still writes its 0
    };
    for (const auto& c : cases) {
        StudyHost host(One(c.members));
        double out = kUntouched;
        EXPECT_EQ(GetParameterValueAsDouble(host.Parameter(0).Get(), &out), c.answer) << c.members;
        EXPECT_EQ(out, c.out) << c.members;
    }
    StudyHost host(One(R"("kind": 0, "value": 1)"));
    EXPECT_EQ(GetParameterValueAsDouble(host.Parameter(0).Get(), nullptr), E_POINTER);
    EXPECT_EQ(GetParameterValueAsDouble(nullptr, nullptr), E_POINTER);
}

TEST(ParameterValueFromDouble, SetsWhatTheNextReadAnswers) {
    const struct {
        const char* members;
        double value;
        HRESULT answer;
        double readBack;
    } cases[] = {
        {R"("kind": 0, "value": 1)", 2.25, S_OK, 2.25},
        {R"("kind": 0, "subKind": 1, "value": 1)", 3.5, S_OK, 3.5},
        {R"("kind": 5, "subKind": 1, "value": 1)", -4.0, S_OK, -4.0},
        {R"("kind": 3, "integer": {"value": 1})", 7.9, S_OK, 7.0},
        {R"("kind": 3, "integer": {"value": 1})", -7.9, S_OK, -7.0},
        {R"("kind": 3, "integer": {"value": 1})", 3e9, DISP_E_OVERFLOW, 1.0},
        {R"("kind": 3, "integer": {"value": 1})", std::nan(""), DISP_E_OVERFLOW, 1.0},
        {R"("kind": 2, "table": {"current": 1, "entries": [[1, 5], [2, 6]]})", 8.5, S_OK, 8.5},
        {R"("kind": 1, "list": {"values": [10, 20, 30], "current": 0})", 20.0, S_OK, 20.0},
        {R"("kind": 1, "list": {"values": [10, 20, 30], "current": 0})", 25.0, E_INVALIDARG, 10.0},
    };
    for (const auto& c : cases) {
        StudyHost host(One(c.members));
        ComPtr<IHostParameter> p = host.Parameter(0);
        EXPECT_EQ(SetParameterValueFromDouble(p.Get(), c.value), c.answer) << c.members << " " << c.value;
        double out = kUntouched;
        EXPECT_EQ(GetParameterValueAsDouble(p.Get(), &out), S_OK) << c.members;
        EXPECT_EQ(out, c.readBack) << c.members << " " << c.value;
    }
    StudyHost text(One(R"("kind": 4)"));
    EXPECT_EQ(SetParameterValueFromDouble(text.Parameter(0).Get(), 1.0), E_FAIL);
}

TEST(ParameterValueInterface, RefusesANullOutAMissingValueObjectAndAnotherKind) {
    StudyHost host(R"([{"name": "a", "kind": 4}, {"name": "b", "kind": 0, "value": 1}])");
    ComPtr<IHostRealValue> real;
    EXPECT_EQ(GetRealValueOf(host.Parameter(1).Get(), nullptr), E_POINTER);
    EXPECT_EQ(GetRealValueOf(host.Parameter(0).Get(), real.ReleaseAndGetAddressOf()), E_FAIL);
    ComPtr<IHostListValue> list;
    EXPECT_EQ(GetListValueOf(host.Parameter(1).Get(), list.ReleaseAndGetAddressOf()), E_NOINTERFACE);
    EXPECT_FALSE(list);
    EXPECT_EQ(GetRealValueOf(host.Parameter(1).Get(), real.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(real);
}

TEST(ParameterKindTests, AnswerEachKindAndTable) {
    StudyHost host(R"([
        {"name": "real", "kind": 0, "subKind": 1},
        {"name": "list", "kind": 1, "list": {"values": [1]}},
        {"name": "numbers", "kind": 2, "table": {"entries": [[1, 2]]}},
        {"name": "texts", "kind": 2, "table": {"entries": [["a", 2]]}},
        {"name": "empty", "kind": 2, "table": {"entries": []}},
        {"name": "int", "kind": 3},
        {"name": "text", "kind": 4},
        {"name": "out", "kind": 5}])");
    using Test = bool (*)(IHostParameter*);
    const struct {
        const char* name;
        Test test;
        const char* truth;  // one letter per parameter above
    } tests[] = {
        {"real", IsRealParameter, "10000000"},
        {"list", IsListParameter, "01000000"},
        {"integer", IsIntegerParameter, "00000100"},
        {"text", IsTextParameter, "00000010"},
        {"output", IsOutputParameter, "00000001"},
        {"input", HasInputSubKind, "01111111"},
        {"derived", HasDerivedSubKind, "10000000"},
        {"numeric table", IsNumericTableParameter, "00100000"},
        {"text table", IsTextTableParameter, "00010000"},
        {"any table", IsTableParameterWithCells, "00110000"},
    };
    for (const auto& t : tests) {
        std::string got;
        for (int i = 0; i < 8; ++i) got += t.test(host.Parameter(i).Get()) ? '1' : '0';
        EXPECT_EQ(got, t.truth) << t.name;
        EXPECT_FALSE(t.test(nullptr)) << t.name;
    }
}

TEST(ParameterBounds, ComeFromTheValueInterfaceOfTheKind) {
    StudyHost host(R"([
        {"name": "real", "kind": 0, "lowerBound": 1, "upperBound": 2},
        {"name": "list", "kind": 1, "list": {"values": [1]}, "lowerBound": 3, "upperBound": 4},
        {"name": "table", "kind": 2, "table": {"entries": [[1]]}, "lowerBound": 5, "upperBound": 6},
        {"name": "int", "kind": 0, "lowerBound": 7, "upperBound": 8}])");
    // Bounds still held from an earlier kind are not read through an integer.
    ASSERT_EQ(SetParameterKind(host.Parameter(3).Get(), kHostParameterInteger), S_OK);
    const double lower[] = {1, 3, 5}, upper[] = {2, 4, 6};
    for (int i = 0; i < 3; ++i) {
        double low = 0, high = 0;
        EXPECT_EQ(GetParameterLowerBound(host.Parameter(i).Get(), &low), S_OK);
        EXPECT_EQ(GetParameterUpperBound(host.Parameter(i).Get(), &high), S_OK);
        EXPECT_EQ(low, lower[i]);
        EXPECT_EQ(high, upper[i]);
    }
    double value = kUntouched;
    EXPECT_EQ(GetParameterLowerBound(host.Parameter(3).Get(), &value), E_FAIL);
    EXPECT_EQ(value, kUntouched);
}

TEST(ParameterTypedValues, ListAndTableEntriesRoundTrip) {
    StudyHost host(R"([{"name": "list", "kind": 1, "list": {"values": [1, 2, 3], "current": 2}},
                       {"name": "table", "kind": 2, "table": {"entries": [[1, 2]]}}])");
    ComPtr<IHostParameter> list = host.Parameter(0);
    EXPECT_EQ(SetListParameterEntryCount(list.Get(), 2), S_OK);
    int index = 0;
    EXPECT_EQ(GetListParameterCurrentIndex(list.Get(), &index), E_FAIL);  // entry 2 is gone
    EXPECT_EQ(SetListParameterValueAt(list.Get(), 1, 9.5), S_OK);
    EXPECT_EQ(SelectListParameterEntry(list.Get(), 9.5), S_OK);
    EXPECT_EQ(GetListParameterCurrentIndex(list.Get(), &index), S_OK);
    EXPECT_EQ(index, 1);

    ComPtr<IHostParameter> table = host.Parameter(1);
    std::vector<VariantHolder> cells;
    cells.emplace_back(3.0);
    cells.emplace_back(std::wstring_view(L"hard"));
    EXPECT_EQ(FillTableParameterEntry(table.Get(), 1, cells), S_OK);
    std::vector<VariantHolder> read;
    EXPECT_EQ(ReadTableParameterEntry(table.Get(), 1, read), S_OK);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0]->dblVal, 3.0);
    EXPECT_EQ(BstrView(read[1]->bstrVal), L"hard");
    read.emplace_back(1.0);
    EXPECT_EQ(ReadTableParameterEntry(table.Get(), 5, read), E_INVALIDARG);
    EXPECT_EQ(read.size(), 3u);  // a failed read leaves the list as it was
}

TEST(ParameterForwarders, RenameCopyAndReachItems) {
    StudyHost host(R"([{"name": "a", "kind": 0, "description": "first",
                        "namedProperties": [{"name": "Source", "text": "x"}]},
                       {"name": "b", "kind": 0}])");
    ComPtr<IHostParameter> a = host.Parameter(0), b = host.Parameter(1);
    EXPECT_EQ(RenameParameter(a.Get(), L"width"), S_OK);
    EXPECT_EQ(CopyParameterDescription(a.Get(), b.Get()), S_OK);
    EXPECT_EQ(CopyParameterDescription(nullptr, b.Get()), S_OK);
    HostSimParameter copy;
    ASSERT_TRUE(host.Host().Study()->Get(0, copy));
    EXPECT_EQ(copy.name, L"width");
    ASSERT_TRUE(host.Host().Study()->Get(1, copy));
    EXPECT_EQ(copy.description, L"first");

    ComPtr<IHostParameterManager> manager;
    ASSERT_EQ(CoCreateInstance(CLSID_HostParameterManager, manager), S_OK);
    ComPtr<IHostParameter> item;
    EXPECT_EQ(GetListedParameterAt(manager.Get(), 1, item.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_TRUE(item);
    BstrHolder name;
    EXPECT_EQ(item->GetName(name.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(name.View(), L"b");
    EXPECT_EQ(GetListedParameterAt(manager.Get(), 2, item.ReleaseAndGetAddressOf()), E_INVALIDARG);
    EXPECT_FALSE(item);
    EXPECT_EQ(GetListedParameterAt(manager.Get(), 0, nullptr), E_POINTER);
    ComPtr<IHostNamedProperty> property;
    EXPECT_EQ(GetNamedPropertyAt(a.Get(), 0, property.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_EQ(GetNamedPropertyAt(b.Get(), 0, property.ReleaseAndGetAddressOf()), E_INVALIDARG);
}

TEST(NamedProperties, ReadersTakeTheFirstPlainItemOfTheKeyAndType) {
    StudyHost host(One(R"("kind": 0, "namedProperties": [
        {"name": "goalid", "int": 1},
        {"name": "GoalId", "int": 2, "typeCode": 1},
        {"name": "GoalId", "text": "3"},
        {"name": "GoalId", "int": 4},
        {"name": "GoalId", "int": 5},
        {"name": "GoalValue", "double": 2.5},
        {"name": "Source", "text": "Design"},
        {"name": "Empty"}])"));
    ComPtr<IHostParameter> p = host.Parameter(0);
    std::int32_t id = 0;
    EXPECT_EQ(ReadGoalId(p.Get(), &id), S_OK);
    EXPECT_EQ(id, 4);
    double goal = 0;
    EXPECT_EQ(ReadGoalValue(p.Get(), &goal), S_OK);
    EXPECT_EQ(goal, 2.5);
    std::wstring source;
    EXPECT_EQ(ReadSource(p.Get(), &source), S_OK);
    EXPECT_EQ(source, L"Design");
    EXPECT_EQ(ReadIntNamedProperty(p.Get(), L"GoalValue", &id), E_FAIL);
    EXPECT_EQ(ReadIntNamedProperty(p.Get(), L"Empty", &id), E_FAIL);
    EXPECT_EQ(ReadTargetLevel(p.Get(), &id), E_FAIL);
    EXPECT_EQ(ReadTargetLevel(p.Get(), nullptr), E_POINTER);
}

TEST(NamedProperties, WritersSetAnExistingItemOrAddOne) {
    StudyHost host(One(R"("kind": 0, "namedProperties": [{"name": "GoalValue", "double": 1}])"));
    ComPtr<IHostParameter> p = host.Parameter(0);
    EXPECT_EQ(WriteGoalValue(p.Get(), 2.5), S_OK);
    EXPECT_EQ(WriteTargetLevel(p.Get(), 3), S_OK);
    EXPECT_EQ(WriteEquation(p.Get(), L"a*b"), S_OK);
    EXPECT_EQ(WriteIntNamedProperty(p.Get(), kGoalValueKey, 1), E_NOINTERFACE);  // a double item
    HostSimParameter copy;
    ASSERT_TRUE(host.Host().Study()->Get(0, copy));
    ASSERT_EQ(copy.namedProperties.size(), 3u);
    double goal = 0;
    EXPECT_EQ(ReadGoalValue(p.Get(), &goal), S_OK);
    EXPECT_EQ(goal, 2.5);
    std::int32_t level = 0;
    EXPECT_EQ(ReadTargetLevel(p.Get(), &level), S_OK);
    EXPECT_EQ(level, 3);
    std::wstring equation;
    EXPECT_EQ(ReadTextNamedProperty(p.Get(), kEquationKey, &equation), S_OK);
    EXPECT_EQ(equation, L"a*b");
}

TEST(NamedProperties, FlagsOfGoalsAndOutputs) {
    const struct {
        const char* members;
        VARIANT_BOOL disabled;
        bool goal, singleGoal, markedOutput;
        int tradeOff;
    } cases[] = {
        {R"("kind": 5, "subKind": 1)", VARIANT_TRUE, false, false, false, 0},
        {R"("kind": 5, "subKind": 0)", VARIANT_TRUE, true, true, false, 0},
        {R"("kind": 5, "subKind": 1, "namedProperties": [{"name": "Disabled", "int": 0},
            {"name": "GoalId", "int": 3001}, {"name": "TradeOff", "int": 1}])",
         VARIANT_FALSE, true, true, false, 1},
        {R"("kind": 5, "subKind": 1, "namedProperties": [{"name": "Disabled", "int": 2},
            {"name": "GoalId", "int": 3003}, {"name": "TradeOff", "int": 0}])",
         VARIANT_TRUE, true, false, false, 1},
        {R"("kind": 5, "subKind": 1, "namedProperties": [{"name": "GoalId", "int": 3004},
            {"name": "TradeOff", "int": 2}, {"name": "ZPROutputType", "int": 18007}])",
         VARIANT_TRUE, false, false, true, 0},
        {R"("kind": 5, "subKind": 1, "namedProperties": [{"name": "ZPROutputType", "int": 18008}])",
         VARIANT_TRUE, false, false, false, 0},
    };
    for (const auto& c : cases) {
        StudyHost host(One(c.members));
        ComPtr<IHostParameter> p = host.Parameter(0);
        EXPECT_EQ(ReadDisabledFlag(p.Get()), c.disabled) << c.members;
        EXPECT_EQ(IsGoalParameter(p.Get()), c.goal) << c.members;
        EXPECT_EQ(IsSingleGoalParameter(p.Get()), c.singleGoal) << c.members;
        EXPECT_EQ(HasMarkedOutputType(p.Get()), c.markedOutput) << c.members;
        EXPECT_EQ(ReadTradeOffFlag(p.Get()), c.tradeOff) << c.members;
    }
    StudyHost host(One(R"("kind": 5, "namedProperties": [{"name": "ZPROutput", "int": 0}])"));
    EXPECT_EQ(HasOutputProperty(host.Parameter(0).Get()), VARIANT_TRUE);
    EXPECT_FALSE(HasUncertaintyProperty(host.Parameter(0).Get()));
}

TEST(StudyPredicates, CountTheEnabledParametersByKind) {
    const std::string enabled = R"("namedProperties": [{"name": "Disabled", "int": 0}])";
    StudyHost host("[" + std::string(R"({"name": "a", "kind": 0, )") + enabled + "}," +
                   R"({"name": "b", "kind": 2, "table": {"entries": [["x"]]}, )" + enabled + "}," +
                   R"({"name": "c", "kind": 5, "subKind": 1, )" + enabled + "}," +
                   R"({"name": "d", "kind": 5, "subKind": 0, )" + enabled + "}," +
                   R"({"name": "e", "kind": 1, "list": {"values": [1]}},)" +  // no flag: disabled
                   R"({"name": "f", "kind": 4, "namedProperties": [{"name": "Disabled", "int": 1}]}])");
    EXPECT_EQ(CountEnabledParameters(host.Study()), 4);
    EXPECT_EQ(CountEnabledNumericParameters(host.Study()), 2);
    EXPECT_TRUE(StudyHasEnabledTextParameter(host.Study()));
    EXPECT_TRUE(StudyHasEnabledTableParameter(host.Study()));
    EXPECT_EQ(CountEnabledParameters(nullptr), 0);
    StudyHost plain(R"([{"name": "a", "kind": 4}, {"name": "b", "kind": 0,
                         "namedProperties": [{"name": "Disabled", "int": 0}]}])");
    EXPECT_FALSE(StudyHasEnabledTextParameter(plain.Study()));
    EXPECT_FALSE(StudyHasEnabledTableParameter(plain.Study()));
}

TEST(ParameterSetUp, WritesTheNameValuesAndSource) {
    StudyHost host(One(R"("kind": 1, "list": {"values": []})"));
    ComPtr<IHostParameter> p = host.Parameter(0);
    EXPECT_EQ(SetUpListParameter(p.Get(), L"force", {5.0, 6.0, 7.0}, 6.0, L"Loads"), S_OK);
    HostSimParameter copy;
    ASSERT_TRUE(host.Host().Study()->Get(0, copy));
    EXPECT_EQ(copy.name, L"force");
    EXPECT_EQ(copy.listValues, (std::vector<double>{5.0, 6.0, 7.0}));
    EXPECT_EQ(copy.currentIndex, 1);
    std::wstring source;
    EXPECT_EQ(ReadSource(p.Get(), &source), S_OK);
    EXPECT_EQ(source, L"Loads");
    // A selection that fails stops the set-up before the source is written.
    EXPECT_EQ(SetUpListParameter(p.Get(), L"force", {1.0}, 2.0, L"Other"), E_INVALIDARG);
    EXPECT_EQ(ReadSource(p.Get(), &source), S_OK);
    EXPECT_EQ(source, L"Loads");
    EXPECT_EQ(SetUpRealParameter(p.Get(), L"x", 1, 0, 2, L"s"), E_NOINTERFACE);
}

TEST(HostSetting, IsHandedToTheParameterListComponent) {
    EXPECT_EQ(PassSettingToHost(L"Tolerance", *VariantHolder(0.5)), REGDB_E_CLASSNOTREG);
    StudyHost host("[]");
    EXPECT_EQ(PassSettingToHost(L"", *VariantHolder(1)), E_FAIL);
    EXPECT_EQ(PassSettingToHost(L"Tolerance", *VariantHolder(0.5)), S_OK);
    // A refusal of the host is answered, not hidden behind success.
    EXPECT_EQ(PassSettingToHost(L"Nothing", VARIANT{}), E_INVALIDARG);
    const std::vector<HostSimSetting> settings = host.Host().Study()->Settings();
    ASSERT_EQ(settings.size(), 1u);
    EXPECT_EQ(settings[0].name, L"Tolerance");
    EXPECT_EQ(settings[0].value->dblVal, 0.5);
}

}  // namespace
