// The function tables of the material section: the column reader, the table writer in its
// two- and three-column forms and the zero function, and how function numbers are drawn.
#include <gtest/gtest.h>

#include "deck/deck_counters.h"
#include "deck/materials/material_section_writer.h"
#include "deck/materials/unit_system_name.h"
#include "platform/com_object.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

using namespace materials_test;

TEST(UnitSystemName, NamesTheSolverSystemsAndNothingElse) {
    std::wstring name = L"kept";
    EXPECT_EQ(GetUnitSystemName(11, name), S_OK);
    EXPECT_EQ(name, L"JX_SOLV_MKS");
    EXPECT_EQ(GetUnitSystemName(6, name), S_OK);
    EXPECT_EQ(name, L"JX_SOLV_NMM");
    EXPECT_EQ(GetUnitSystemName(14, name), S_OK);
    EXPECT_EQ(name, L"NMMDAT_STANDARD");
    for (int code : {12, 15, -1, 11 | 0x1000}) {
        name = L"kept";
        EXPECT_EQ(GetUnitSystemName(code, name), kUnitSystemNameUnknown) << code;
        EXPECT_EQ(name, L"kept");
    }
}

class ColumnReader : public testing::Test {
  protected:
    ColumnReader() {
        material_ = MakeMaterial(
            L"M", {SimpleProperty(L"P", {Column(L"Temperature", {kHostUndefinedValue}),
                                         Column(L"Undefined", {kHostUndefinedValue}),
                                         Column(L"Two", {1.0, kHostUndefinedValue}), Column(L"Empty", {})})});
        data_ = material_->GetProperty(L"P")->GetData(L"P", L"");
    }
    std::vector<double> Read(const wchar_t* column, HRESULT expected) {
        std::vector<double> values = {42.0};
        EXPECT_EQ(writer_.ReadPropertyColumn(data_.Get(), column, values), expected) << column;
        return values;
    }

    TestBodyTable bodies_;
    CMaterialSectionWriter writer_{bodies_};
    ComPtr<IHostMaterial> material_;
    ComPtr<IHostMaterialData> data_;
};

TEST_F(ColumnReader, ALoneUndefinedValueEmptiesEveryColumnButTemperature) {
    EXPECT_EQ(Read(L"Temperature", S_OK), std::vector<double>{kHostUndefinedValue});
    EXPECT_TRUE(Read(L"Undefined", E_FAIL).empty());
    // The marker counts only alone: inside a longer column it is passed on.
    EXPECT_EQ(Read(L"Two", S_OK), (std::vector<double>{1.0, kHostUndefinedValue}));
}

TEST_F(ColumnReader, MissingOrEmptyColumnsFail) {
    EXPECT_TRUE(Read(L"Nowhere", E_FAIL).empty());
    EXPECT_TRUE(Read(L"Empty", E_FAIL).empty());
    std::vector<double> values(1, 3.0);
    EXPECT_EQ(writer_.ReadPropertyColumn(nullptr, L"Two", values), E_FAIL);
    EXPECT_TRUE(values.empty());
}

// A column that claims one row more than it hands out, as a broken host table would, and the
// datum that hands out such columns.
class OverlongColumn : public ComObject<OverlongColumn, IHostMaterialColumn> {
  public:
    explicit OverlongColumn(ComPtr<IHostMaterialColumn> inner) : inner_(std::move(inner)) {}
    int GetCount() override { return inner_->GetCount() + 1; }
    ComPtr<IHostMaterialValue> GetValue(int index, std::wstring_view system, int mode) override {
        return inner_->GetValue(index, system, mode);
    }

  private:
    ComPtr<IHostMaterialColumn> inner_;
};

class OverlongData : public ComObject<OverlongData, IHostMaterialData> {
  public:
    explicit OverlongData(ComPtr<IHostMaterialData> inner) : inner_(std::move(inner)) {}
    ComPtr<IHostMaterialColumn> GetVariable(std::wstring_view name) override {
        ComPtr<IHostMaterialColumn> column = inner_->GetVariable(name);
        if (!column) return nullptr;
        return MakeComObject<OverlongColumn>(column);
    }
    int GetRowCount() override { return inner_->GetRowCount() + 1; }

  private:
    ComPtr<IHostMaterialData> inner_;
};

TEST_F(ColumnReader, AColumnThatBreaksOffGivesNoValues) {
    ComPtr<IHostMaterialData> broken = MakeComObject<OverlongData>(data_);
    std::vector<double> values = {42.0};
    EXPECT_EQ(writer_.ReadPropertyColumn(broken.Get(), L"Two", values), E_FAIL);
    EXPECT_TRUE(values.empty());  // not the rows read with zeros for the rest
}

TEST(ColumnReaderUnits, AnUnnamedUnitSystemReadsTheValuesAsStored) {
    // 22 degrees Celsius: kelvin in the solver's MKS system, unchanged for code 12.
    ComPtr<IHostMaterial> steel = CaseMaterial("materials-elastic", L"Structural Steel");
    ComPtr<IHostMaterialData> data =
        steel->GetProperty(L"Reference Temperature")->GetData(L"Reference Temperature", L"");
    TestBodyTable bodies;
    std::vector<double> values;
    bodies.unitSystem = 11;
    EXPECT_EQ(CMaterialSectionWriter(bodies).ReadPropertyColumn(data.Get(), L"Reference Temperature", values),
              S_OK);
    EXPECT_DOUBLE_EQ(values.at(0), 295.15);
    bodies.unitSystem = 12;
    EXPECT_EQ(CMaterialSectionWriter(bodies).ReadPropertyColumn(data.Get(), L"Reference Temperature", values),
              S_OK);
    EXPECT_DOUBLE_EQ(values.at(0), 22.0);
}

class FunctionWriter : public testing::Test {
  protected:
    TestBodyTable bodies_;
    CMaterialSectionWriter writer_{bodies_};
    CapturedDeck deck_;
};

TEST_F(FunctionWriter, TwoColumnsAreSortedStablyByAbscissa) {
    MaterialFunction f{7, "Fct_T", {{300.0, 100.0, 200.0, 100.0}, {3.0, 1.0, 2.0, 1.5}}};
    EXPECT_EQ(writer_.WriteMaterialFunction(f, deck_.Deck()), S_OK);
    EXPECT_EQ(deck_.Text(),
              ".FCT CREE FONC I 7 NOM \"Fct_T\"\n"
              "     CREE VALEUR Y U\n"
              "     ABSCISSES 100. 100. 200. 300.\n"
              "     ORDONNEES 1. 1.5 2. 3.\n");
}

TEST_F(FunctionWriter, ThreeColumnsMakeOneBlockPerTemperatureInOrderOfFirstUse) {
    MaterialFunction f{3, "", {{0.0, 0.0, 0.001}, {20.0, 100.0, 20.0}, {250.0, 200.0, 260.5}}};
    EXPECT_EQ(writer_.WriteMaterialFunction(f, deck_.Deck()), S_OK);
    EXPECT_EQ(deck_.Text(),
              ".FCT CREE FONC I 3\n"
              "     CREE VALEUR Y U V  20.\n"
              "     ABSCISSES 0 0.001\n"
              "     ORDONNEES 250 260.5\n"
              "     CREE VALEUR Y U V  100.\n"
              "     ABSCISSES 0\n"
              "     ORDONNEES 200\n");
}

TEST_F(FunctionWriter, LongTablesAreCutIntoDeckRecords) {
    MaterialFunction f{1, "", {std::vector<double>(12, 123456.789), std::vector<double>(12, 1.0)}};
    EXPECT_EQ(writer_.WriteMaterialFunction(f, deck_.Deck()), S_OK);
    for (std::size_t start = 0, end; (end = deck_.Text().find('\n', start)) != std::string::npos;
         start = end + 1)
        EXPECT_LE(end - start, 80u);
    EXPECT_NE(deck_.Text().find("$\n"), std::string::npos);
}

TEST_F(FunctionWriter, RefusesTablesItCannotWrite) {
    EXPECT_EQ(writer_.WriteMaterialFunction({1, "", {{1.0, 2.0}, {1.0}}}, deck_.Deck()), E_FAIL);
    EXPECT_EQ(writer_.WriteMaterialFunction({2, "", {{1.0}, {1.0}, {1.0, 2.0}}}, deck_.Deck()), E_FAIL);
    EXPECT_EQ(writer_.WriteMaterialFunction({3, "", {}}, deck_.Deck()), E_FAIL);
    EXPECT_EQ(writer_.WriteMaterialFunction({4, "", {{1.0}, {1.0}, {1.0}, {1.0}}}, deck_.Deck()), E_FAIL);
    EXPECT_EQ(deck_.Text(), "");
}

TEST_F(FunctionWriter, TheZeroFunctionIsDrawnOnceAndWrittenOnce) {
    NextFunctionNumber();
    const int zero = writer_.GetZeroFunctionId();
    EXPECT_EQ(zero, 2);
    EXPECT_EQ(writer_.GetZeroFunctionId(), zero);
    EXPECT_EQ(NextFunctionNumber(), 3);
    const MaterialFunction f{zero, std::string(kZeroFunctionName), {}};
    EXPECT_EQ(writer_.WriteMaterialFunction(f, deck_.Deck()), S_OK);
    EXPECT_EQ(writer_.WriteMaterialFunction(f, deck_.Deck()), S_OK);
    EXPECT_EQ(deck_.Text(),
              ".FCT CREE FONC I 2 NOM \"Fct_Zero\"\n"
              "     CREE VALEUR Y U\n"
              "     BORNE -100 1500 POLYNOME 0 0 0 0\n");
}

// Numbers are drawn as each table is built, in the order the lines naming them are written,
// and they run on across materials and into later writers of the deck.
TEST(FunctionNumbers, FollowTheOrderOfTheLinesThatNameThem) {
    TestBodyTable bodies;
    CMaterialSectionWriter writer(bodies);
    CapturedDeck deck;
    ComPtr<IHostMaterial> aluminium = CaseMaterial("materials-elastic", L"Aluminium Alloy");
    ComPtr<IHostMaterial> chaboche = CaseMaterial("materials-plastic", L"Chaboche");
    ASSERT_EQ(writer.WriteHostMaterial(1, aluminium.Get(), deck.Deck()), 0);
    ASSERT_EQ(writer.WriteHostMaterial(2, chaboche.Get(), deck.Deck()), 0);
    EXPECT_EQ(NextFunctionNumber(), 12);  // 4 for the first material, 7 for the second
    const std::string text = deck.Text();
    const std::vector<std::string> inOrder = {"YT 1. NF 1",         "NT 1. NF 2",
                                              "A 1. NF 3",          "M 1. NF 4",
                                              ".FCT CREE FONC I 1", ".FCT CREE FONC I 2",
                                              ".FCT CREE FONC I 3", ".FCT CREE FONC I 4",
                                              "LITK 1. NF 7",       ".FCT CREE FONC I 7 NOM \"LITK\""};
    std::size_t at = 0;
    for (const std::string& piece : inOrder) {
        const std::size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece;
        at = found + piece.size();
    }
}

TEST(MakeMaterialFunction, DrawsANumberEvenWhenTheReadsFail) {
    TestBodyTable bodies;
    CMaterialSectionWriter writer(bodies);
    ResetDeckCounters();
    ComPtr<IHostMaterial> m = MakeMaterial(L"M", {SimpleProperty(L"P", {Column(L"Q", {1.0})})});
    ComPtr<IHostMaterialData> data = m->GetProperty(L"P")->GetData(L"P", L"");
    MaterialFunction f = writer.MakeMaterialFunction(data.Get(), L"Missing", "NAME");
    EXPECT_EQ(f.id, 1);
    EXPECT_EQ(f.name, "NAME");
    ASSERT_EQ(f.columns.size(), 2u);
    EXPECT_EQ(f.columns[0], std::vector<double>{kHostUndefinedValue});
    EXPECT_TRUE(f.columns[1].empty());
}

}  // namespace
