// The simulated host's loads: values by time or position in the asked units, step activity, refusals.
#include "host/load_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"
#include "hostsim/load_model.h"

namespace {

const char* const kFile = "case/host.json";

// Three steps; load 5 a pressure table in time, load 6 a constant force with a free component,
// load 7 a pressure along x and a quadratic displacement.
const char* const kLoads = R"({
  "objectTable": {"stepCount": 3, "records": [{"id": 5, "hostType": 1}, {"id": 6, "hostType": 4},
                                              {"id": 7, "hostType": 1}, {"id": 8, "hostType": 30}]},
  "loads": {"unitSystem": 11, "records": [
    {"id": 5, "activeSteps": [true, false, true], "samplingCount": 4, "coordinateSystemId": 3,
     "properties": {"715": 0.0, "716": 0.6, "717": 0.8},
     "variables": [{"index": 1, "quantity": 205, "table": [[0, 0], [1, 100], [3, 300]]}]},
    {"id": 6, "variables": [{"index": 1, "quantity": 203, "constant": 12.5},
                            {"index": 2, "id": 40, "flag": 3, "kind": "free", "name": "X"}]},
    {"id": 7, "variables": [
      {"index": 1, "quantity": 205, "independent": "x", "table": [[0, 10], [2, 30]]},
      {"index": 2, "quantity": 202, "expression": {"polynomial": [1, 0, 2]}, "activeSteps": [false, true, true]}]}
  ]}
})";

class LoadModelTest : public ::testing::Test {
  protected:
    void SetUp() override { ReadHostJson(kLoads, kFile, case_); }

    ComPtr<IHostLoad> Load(int id) const {
        const HostObjectRecord* record = case_.objectTable->FindById(id);
        return record && record->hostLoad ? ComPtr<IUnknown>(record->hostLoad).As<IHostLoad>() : nullptr;
    }
    ComPtr<IHostLoadVariable> Variable(int id, int index) const {
        ComPtr<IHostLoadVariable> variable;
        ComPtr<IHostLoad> load = Load(id);
        if (load) {
            EXPECT_EQ(load->GetVariable(index, variable.ReleaseAndGetAddressOf()), S_OK);
        }
        return variable;
    }

    HostSimCase case_;
};

TEST_F(LoadModelTest, TheRecordOfALoadHandsItsLoadAndOthersNone) {
    ComPtr<IHostLoad> load = Load(5);
    ASSERT_TRUE(load);
    int id = 0, type = 0, sampling = 0, frame = 0;
    ASSERT_EQ(load->GetId(id), S_OK);
    ASSERT_EQ(load->GetLoadType(type), S_OK);
    ASSERT_EQ(load->GetSamplingCount(sampling), S_OK);
    ASSERT_EQ(load->GetCoordinateSystemId(frame), S_OK);
    EXPECT_EQ(std::vector<int>({id, type, sampling, frame}), std::vector<int>({5, 1, 4, 3}));
    EXPECT_FALSE(case_.objectTable->FindById(8)->hostLoad);
}

struct ValueCase {
    int load;
    int index;
    double at;
    int quantity;
    int unitSystem;
    double expected;
};

TEST_F(LoadModelTest, AnswersValuesInTheAskedUnitSystem) {
    const ValueCase cases[] = {
        {6, 1, 2.0, kLoadQuantityForce, 11, 12.5},         // constant
        {6, 1, 2.0, kLoadQuantityForce, 6, 12500.0},       // N -> mN
        {5, 1, 0.5, kLoadQuantityPressure, 11, 50.0},      // linear between rows
        {5, 1, 2.0, kLoadQuantityPressure, 11, 200.0},     //
        {5, 1, 0.0, kLoadQuantityPressure, 11, 0.0},       // on a row
        {5, 1, 9.0, kLoadQuantityPressure, 11, 300.0},     // the last row holds
        {5, 1, 1.0, kLoadQuantityPressure, 6, 0.1},        // Pa -> kPa
        {7, 2, 3.0, kLoadQuantityDisplacement, 11, 19.0},  // 1 + 2 t^2
        {7, 2, 3.0, kLoadQuantityComponent, 6, 19000.0},   // own quantity, m -> mm
        {7, 1, 1000.0, kLoadQuantityPressure, 6, 0.02},    // at x = 1000 mm
    };
    for (const ValueCase& c : cases) {
        ComPtr<IHostLoadVariable> variable = Variable(c.load, c.index);
        ASSERT_TRUE(variable);
        double value = -1.0;
        ASSERT_EQ(variable->GetValueAt(c.at, c.quantity, c.unitSystem, value), S_OK)
            << c.load << "/" << c.index;
        EXPECT_NEAR(value, c.expected, 1e-9 * std::max(1.0, c.expected))
            << c.load << "/" << c.index << " at " << c.at;
    }
}

TEST_F(LoadModelTest, RefusesWhatItCannotAnswerInsteadOfAnsweringANumber) {
    ComPtr<IHostLoadVariable> pressure = Variable(5, 1);
    ComPtr<IHostLoadVariable> free = Variable(6, 2);
    ASSERT_TRUE(pressure && free);
    double value = 7.0;
    EXPECT_EQ(pressure->GetValueAt(1.0, kLoadQuantityForce, 11, value), E_INVALIDARG);
    EXPECT_EQ(pressure->GetValueAt(1.0, kLoadQuantityPressure, 12, value), E_INVALIDARG);
    EXPECT_EQ(pressure->GetRowTime(4, 11, value), E_INVALIDARG);
    EXPECT_EQ(free->GetValueAt(1.0, kLoadQuantityForce, 11, value), E_FAIL);
    EXPECT_EQ(value, 7.0);
    std::vector<double> values{1.0};
    EXPECT_EQ(pressure->EvaluateAtPositions({0.0}, kLoadQuantityPressure, 11, values), E_INVALIDARG);
    EXPECT_TRUE(values.empty());

    ComPtr<IHostLoad> load = Load(5);
    ComPtr<IHostLoadVariable> none;
    EXPECT_EQ(load->GetVariable(3, none.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_FALSE(none);
    EXPECT_EQ(load->GetProperty(718, 11, value), E_INVALIDARG);
    bool active = true;
    EXPECT_EQ(load->IsActiveInStep(4, active), E_INVALIDARG);
}

TEST_F(LoadModelTest, DefinitionsEntriesAndRows) {
    ComPtr<IHostLoadVariable> table = Variable(5, 1);
    ComPtr<IHostLoadVariable> expression = Variable(7, 2);
    ComPtr<IHostLoadVariable> free = Variable(6, 2);
    ASSERT_TRUE(table && expression && free);
    HostLoadDefinition definition;
    ASSERT_EQ(table->GetDefinition(definition), S_OK);
    EXPECT_EQ(std::make_pair(definition.kind, definition.independentQuantity),
              std::make_pair(int{kLoadDefinitionDefined}, int{kLoadIndependentTime}));
    ASSERT_EQ(free->GetDefinition(definition), S_OK);
    EXPECT_EQ(definition.kind, kLoadDefinitionFree);

    int rows = 0, kind = 0, quantity = 0;
    double time = 0.0;
    ASSERT_EQ(table->GetRowCount(rows), S_OK);
    ASSERT_EQ(table->GetRowTime(3, 11, time), S_OK);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(time, 3.0);

    ComPtr<IHostLoadEntry> entry;
    ASSERT_EQ(expression->GetFirstEntry(entry.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(entry->GetKind(kind), S_OK);
    ASSERT_EQ(entry->GetQuantity(quantity), S_OK);
    double value = 0.0;
    ASSERT_EQ(entry->Evaluate(2.0, 11, value), S_OK);
    EXPECT_EQ(std::vector<double>({double(kind), double(quantity), value}), std::vector<double>({2, 202, 9}));
    EXPECT_EQ(free->GetFirstEntry(entry.ReleaseAndGetAddressOf()), S_FALSE);

    ComPtr<IHostLoadVariable> byId;
    ASSERT_EQ(Load(6)->GetVariableById(40, 3, byId.ReleaseAndGetAddressOf()), S_OK);
    std::wstring name;
    ASSERT_EQ(byId->GetName(name), S_OK);
    EXPECT_EQ(name, L"X");
}

TEST_F(LoadModelTest, ActivityPerStepOfTheLoadAndOfAVariable) {
    ComPtr<IHostLoad> load = Load(5);
    ComPtr<IHostLoadVariable> own = Variable(7, 2);
    ComPtr<IHostLoadVariable> inherits = Variable(5, 1);
    std::vector<bool> loadSteps, ownSteps, inheritedSteps;
    for (int step = 1; step <= 3; ++step) {
        bool a = false, b = false, c = false;
        ASSERT_EQ(load->IsActiveInStep(step, a), S_OK);
        ASSERT_EQ(own->IsActiveInStep(step, b), S_OK);
        ASSERT_EQ(inherits->IsActiveInStep(step, c), S_OK);
        loadSteps.push_back(a), ownSteps.push_back(b), inheritedSteps.push_back(c);
    }
    EXPECT_EQ(loadSteps, std::vector<bool>({true, false, true}));
    EXPECT_EQ(ownSteps, std::vector<bool>({false, true, true}));
    EXPECT_EQ(inheritedSteps, loadSteps);
}

TEST_F(LoadModelTest, EvaluatesAllPositionsInOneCallInTheAskedUnits) {
    ComPtr<IHostLoadVariable> variable = Variable(7, 1);
    std::vector<double> values;
    ASSERT_EQ(variable->EvaluateAtPositions({0.0, 500.0, 2000.0, 5000.0}, kLoadQuantityPressure, 6, values),
              S_OK);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_NEAR(values[0], 0.010, 1e-12);
    EXPECT_NEAR(values[1], 0.015, 1e-12);
    EXPECT_NEAR(values[2], 0.030, 1e-12);
    EXPECT_NEAR(values[3], 0.030, 1e-12);

    double direction = 0.0;
    ASSERT_EQ(Load(5)->GetProperty(716, 6, direction), S_OK);
    EXPECT_EQ(direction, 0.6);
}

// Uneven spans, falling and rising: each abscissa finds its own span of the table.
TEST(LoadTableLookup, InterpolatesInTheSpanOfTheAbscissaAndHoldsTheEndValuesOutside) {
    HostSimLoadEntry table;
    table.kind = kLoadEntryTable;
    table.rows = {{-1.0, 4.0}, {0.0, 0.0}, {0.5, 10.0}, {2.0, 40.0}, {2.25, -10.0}, {5.0, 100.0}};
    const std::pair<double, double> expected[] = {
        {-3.0, 4.0}, {-1.0, 4.0},   {-0.5, 2.0},   {0.0, 0.0},    {0.25, 5.0},  {0.5, 10.0}, {1.25, 25.0},
        {2.0, 40.0}, {2.125, 15.0}, {2.25, -10.0}, {3.625, 45.0}, {5.0, 100.0}, {7.0, 100.0}};
    for (const auto& [at, value] : expected) {
        double answer = -999.0;
        ASSERT_TRUE(EvaluateStoredEntry(table, at, answer)) << at;
        EXPECT_DOUBLE_EQ(answer, value) << "at " << at;
    }
}

struct BadLoads {
    const char* loads;
    const char* place;
    const char* reason;
};

TEST(LoadModelRefusal, NamesThePlaceAndTheReason) {
    const BadLoads cases[] = {
        {R"({"unitSystem": 12})", "/loads/unitSystem", "names no solver unit system"},
        {R"({"records": []})", "/loads", "missing member \"unitSystem\""},
        {R"({"unitSystem": 11, "records": [{"id": 9}]})", "/loads/records/0/id", "names no record"},
        {R"({"unitSystem": 11, "records": [{"id": 5}, {"id": 5}]})", "/loads/records/1/id", "used twice"},
        {R"({"unitSystem": 11, "records": [{"id": 5, "activeSteps": [true, true, true]}]})",
         "/loads/records/0/activeSteps", "lists 3 steps; the object table has 2"},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 8, "constant": 1}]}]})",
         "/loads/records/0/variables/0/index", "no variable has this index"},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 1, "quantity": 205, "table": []}]}]})",
         "/loads/records/0/variables/0/table", "a table with no rows"},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 1, "quantity": 205,
             "table": [[1, 0], [1, 2]]}]}]})",
         "/loads/records/0/variables/0/table/1/0", "ascend strictly"},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 1, "quantity": 205,
             "constant": 1, "table": [[0, 1]]}]}]})",
         "/loads/records/0/variables/0", "one of \"constant\", \"expression\" or \"table\""},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 1, "quantity": 999, "constant": 1}]}]})",
         "/loads/records/0/variables/0/quantity", "without a known unit"},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 2, "kind": "free", "constant": 1}]}]})",
         "/loads/records/0/variables/0/constant", "a free variable carries no values"},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 1, "quantity": 205,
             "independent": "w", "constant": 1}]}]})",
         "/loads/records/0/variables/0/independent", "must be \"time\""},
        {R"({"unitSystem": 11, "records": [{"id": 5, "variables": [{"index": 1, "quantity": 205, "constant": 1},
             {"index": 1, "id": 4, "quantity": 205, "constant": 2}]}]})",
         "/loads/records/0/variables/1/index", "variable index used twice"},
    };
    for (const BadLoads& c : cases) {
        const std::string text =
            std::string(
                R"({"objectTable": {"stepCount": 2, "records": [{"id": 5, "hostType": 1}]}, "loads": )") +
            c.loads + "}";
        HostSimCase hostCase;
        try {
            ReadHostJson(text, kFile, hostCase);
            ADD_FAILURE() << "accepted: " << c.loads;
        } catch (const HostCaseError& e) {
            EXPECT_EQ(e.File(), kFile);
            EXPECT_EQ(e.Place(), c.place) << c.loads;
            EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << e.what();
        }
    }
}

TEST(LoadModelRefusal, LoadsNeedTheHostsObjectTable) {
    HostSimCase hostCase;
    EXPECT_THROW(ReadHostJson(R"({"objectTable": null, "loads": {"unitSystem": 11}})", kFile, hostCase),
                 HostCaseError);
}

}  // namespace
