// The earlier-result reader over result descriptions written by the stand-in solver's own
// writer, read through the file-backed host's result reader.
#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/material_reps.h"
#include "deck/results/dorvix_result_reader.h"
#include "hostsim/components.h"
#include "platform/creation_registry.h"
#include "result_files.h"
#include "tests/deck/deck_test_support.h"
#include "tests/deck/feeder/feeder_test_support.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

template <class T>
std::vector<T> Items(const JXList<T>& list) {
    std::vector<T> items;
    for (int i = 0; i < list.GetCount(); ++i) items.push_back(list[i]);
    return items;
}

class ResultReader : public testing::Test {
  protected:
    std::filesystem::path Write(const std::string& name, bool eigen, const std::vector<ResultSet>& sets,
                                const std::vector<int>& nodes = {}, double nodeValue = 0.0) {
        const std::filesystem::path path = scratch_.Path() / name;
        EXPECT_TRUE(
            WriteResultDescription(path.string(), eigen ? "dy" : "as", eigen, sets, nodes, nodeValue));
        return path;
    }
    // The stand-in's file with one text replaced.
    std::filesystem::path Damaged(const std::string& from, const std::string& to) {
        const std::filesystem::path path = Write("damaged.des", false, {{1, 0.5, 1}, {2, 1.0, 2}});
        std::string text = decktest::ReadText(path);
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        decktest::WriteText(path, text);
        return path;
    }

    decktest::ScratchFolder scratch_;
    ScopedComponentClass host_{CLSID_HostResultReader, CreateResultReaderComponent};
    DorvixResultReader reader_;
    JXList<double> times_{5, 100};
    JXList<int> numbers_{5, 100};
    JXList<int> codes_{5, 100};
};

}  // namespace

TEST_F(ResultReader, GivesEverySetWithItsTimeNumberAndStepCode) {
    reader_.SetResultFile(Write("dorvix_as.des", false, {{1, 0.25, 1}, {2, 1.2345678, 999999}}));
    ASSERT_EQ(reader_.GetResultSets(times_, numbers_, codes_), S_OK);
    EXPECT_EQ(Items(times_), (std::vector<double>{0.25, 1.2345678}));
    EXPECT_EQ(Items(numbers_), (std::vector<int>{1, 2}));
    EXPECT_EQ(Items(codes_), (std::vector<int>{1, 999999}));
}

TEST_F(ResultReader, AMissingFileHasNoSetAndCannotBeOpened) {
    reader_.SetResultFile(scratch_.Path() / "dorvix_as.des");
    EXPECT_EQ(reader_.GetResultSets(times_, numbers_, codes_), S_FALSE);
    EXPECT_TRUE(times_.IsEmpty());
    EXPECT_EQ(reader_.Open(), E_FAIL);
    EXPECT_NE(reader_.GetProblem().find(L"does not exist"), std::wstring::npos);
}

TEST_F(ResultReader, AppendsOneEigenvaluePerSetBeforeAndAfterOpen) {
    reader_.SetResultFile(Write("dorvix_dy.des", true, {{1, 10, 1}, {2, 20, 2}, {3, 30, 3}}));
    JXList<double> values(5, 100);
    values.Add(-1.0);
    EXPECT_EQ(reader_.GetResultValues(values), S_OK);
    ASSERT_EQ(reader_.Open(), S_OK);
    EXPECT_EQ(reader_.GetResultValues(values), S_OK);
    EXPECT_EQ(Items(values), (std::vector<double>{-1.0, 10, 20, 30, 10, 20, 30}));
}

TEST_F(ResultReader, ScattersNodeValuesByIdAndReadsMissingNodesAsZero) {
    reader_.SetResultFile(Write("dorvix_mt.des", false, {{1, 0.5, 1}, {2, 1.0, 2}}, {1, 2, 3, 7}, 22.0));
    ResultObject target;
    ResultDefinition byTime;
    byTime.SetTime(1.0);
    EXPECT_EQ(reader_.ReadResult(byTime, target), E_FAIL) << "read before Open";
    ASSERT_EQ(reader_.Open(), S_OK);

    reader_.SetIdSelection({7, 4, 1});
    reader_.SetScaleFactor(2.0);
    reader_.SetOptionFlag(1);
    ASSERT_EQ(reader_.ReadResult(byTime, target), S_OK);
    EXPECT_EQ(target.ids, (std::vector<int>{7, 4, 1}));
    EXPECT_EQ(target.values, (std::vector<double>{44.0, 0.0, 44.0}));
    EXPECT_EQ(target.option, 1);
    EXPECT_FALSE(reader_.IsComplete());

    reader_.SetIdSelection({3, 2});
    ResultDefinition lastSet;  // set index 0: the last set
    ASSERT_EQ(reader_.ReadResult(lastSet, target), S_OK);
    EXPECT_EQ(target.values, (std::vector<double>{44.0, 44.0}));
    EXPECT_TRUE(reader_.IsComplete());

    ResultDefinition unsolved;
    unsolved.SetTime(0.75);
    EXPECT_EQ(reader_.ReadResult(unsolved, target), E_INVALIDARG);
    EXPECT_NE(reader_.GetProblem().find(L"no set at time"), std::wstring::npos);
}

TEST_F(ResultReader, WithoutAnIdSelectionReadsEveryNodeOfTheCurrentBody) {
    feedertest::ModelCase model("mesh-single-hexa");  // part 1, body 10, nodes 1 to 8
    feedertest::FeederUnderTest feeder;
    feeder.UseDataSource(&model.DataSource());
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), L""), kRC_Success);
    ASSERT_EQ(feeder.GetMeshRep(), kRC_Success);
    ComPtr<IHostMeshData> mesh = ComPtr<IHostMesh>(feeder.GetHostMesh()).As<IHostMeshData>();
    ASSERT_TRUE(mesh);
    reader_.SetResultFile(Write("dorvix_mt.des", false, {{1, 1.0, 1}}, {8, 6, 5, 4, 3, 2, 1}, 295.15));
    ASSERT_EQ(reader_.Open(), S_OK);
    ResultObject target;
    EXPECT_EQ(reader_.ReadResult(ResultDefinition{}, target), E_FAIL) << "neither ids nor mesh";

    reader_.SetMesh(mesh.Get());
    reader_.SetBody(10, 1);
    ASSERT_EQ(reader_.ReadResult(ResultDefinition{}, target), S_OK);
    EXPECT_EQ(target.ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(target.values,
              (std::vector<double>{295.15, 295.15, 295.15, 295.15, 295.15, 295.15, 0.0, 295.15}));
    EXPECT_FALSE(reader_.IsComplete());
}

TEST_F(ResultReader, RefusesADamagedFileWithItsReason) {
    struct Damage {
        const char* from;
        const char* to;
        const wchar_t* reason;
    };
    const Damage cases[] = {
        {"end\n", "", L"ends before its \"end\" line"},
        {"set 2 1 ", "set 2 1.O ", L"line 6: the set's time or eigenvalue is not a number"},
        {"sets 2", "sets 3", L"announces 3 result sets and holds 2"},
    };
    for (const Damage& damage : cases) {
        reader_.SetResultFile(Damaged(damage.from, damage.to));
        JXList<double> times(5, 100);
        EXPECT_EQ(reader_.GetResultSets(times, numbers_, codes_), E_FAIL) << damage.to;
        EXPECT_TRUE(times.IsEmpty());
        EXPECT_NE(reader_.GetProblem().find(damage.reason), std::wstring::npos) << reader_.GetProblem();
        EXPECT_EQ(reader_.Open(), E_FAIL);
    }
}

TEST_F(ResultReader, ListsTheSetsWithoutTheirValuesAndReadsASetsValuesWhenAsked) {
    const std::filesystem::path path =
        Write("dorvix_mt.des", false, {{1, 0.5, 1}, {2, 1.0, 2}}, {1, 2}, 22.0);
    std::string text = decktest::ReadText(path);
    const std::size_t second = text.rfind("  1 22\n");  // set 2's first node, line 9
    ASSERT_NE(second, std::string::npos);
    decktest::WriteText(path, text.replace(second, 7, "  1 x\n"));
    reader_.SetResultFile(path);
    ASSERT_EQ(reader_.GetResultSets(times_, numbers_, codes_), S_OK);
    EXPECT_EQ(Items(times_), (std::vector<double>{0.5, 1.0}));
    ASSERT_EQ(reader_.Open(), S_OK);

    ResultObject target;
    reader_.SetIdSelection({2, 1});
    ResultDefinition first;
    first.SetSetIndex(1);
    ASSERT_EQ(reader_.ReadResult(first, target), S_OK);
    EXPECT_EQ(target.values, (std::vector<double>{22.0, 22.0}));
    EXPECT_EQ(reader_.ReadResult(ResultDefinition{}, target), E_FAIL);
    EXPECT_NE(reader_.GetProblem().find(
                  L"dorvix_mt.des\" is refused, line 9: a node line of set 2 is not a node id"),
              std::wstring::npos)
        << reader_.GetProblem();

    // A node given twice, and a file that changed after it was opened.
    text = decktest::ReadText(path);
    decktest::WriteText(path, text.replace(text.find("  2 22\n"), 7, "  1 23\n"));
    EXPECT_EQ(reader_.ReadResult(first, target), E_FAIL);
    EXPECT_NE(reader_.GetProblem().find(L"line 7: set 1 gives node 1 twice"), std::wstring::npos)
        << reader_.GetProblem();
    decktest::WriteText(path, text.replace(text.find("set 1 "), 6, "set 7 "));
    EXPECT_EQ(reader_.ReadResult(first, target), E_FAIL);
    EXPECT_NE(reader_.GetProblem().find(L"line 5: set 1 is no longer there; the file has changed"),
              std::wstring::npos)
        << reader_.GetProblem();
}

// A description holding every node's value of every set is large; questions one after the
// other are answered from one read, and a file written again, replaced as the solver replaces
// it or rewritten in place, is answered with its new sets.
TEST_F(ResultReader, ALargeDescriptionWrittenAgainIsAnsweredWithItsNewSets) {
    std::vector<int> nodes(60000);
    for (std::size_t i = 0; i < nodes.size(); ++i) nodes[i] = static_cast<int>(i) + 1;
    auto sets = [&](const std::filesystem::path& path) {
        reader_.SetResultFile(path);
        JXList<double> times(5, 100);
        EXPECT_EQ(reader_.GetResultSets(times, numbers_, codes_), S_OK);
        return Items(times);
    };
    const std::filesystem::path path = Write("dorvix_mt.des", false, {{1, 0.5, 1}, {2, 1.0, 2}}, nodes, 22.0);
    ASSERT_GE(std::filesystem::file_size(path), std::uintmax_t{1} << 20);
    EXPECT_EQ(sets(path), (std::vector<double>{0.5, 1.0}));
    EXPECT_EQ(sets(path), (std::vector<double>{0.5, 1.0}));

    ASSERT_EQ(Write("dorvix_mt.des", false, {{1, 0.7, 1}, {2, 1.0, 2}}, nodes, 22.0), path);
    EXPECT_EQ(sets(path), (std::vector<double>{0.7, 1.0}));
    std::string text = decktest::ReadText(path);
    decktest::WriteText(path, text.replace(text.find("set 2 1 "), 8, "set 2 1.5 "));
    EXPECT_EQ(sets(path), (std::vector<double>{0.7, 1.5}));
}

TEST_F(ResultReader, RefusesADescriptionBeyondItsBoundsAtOnce) {
    const std::string head = "DORVIX-RESULT-DESCRIPTION 1\nmodule as\nkind time\n";
    struct Hostile {
        std::string text;
        std::uintmax_t sparseSize;  // the file is made this long by a hole of zero bytes
        const wchar_t* reason;
    };
    const Hostile cases[] = {
        // 2 GB of which only the first kilobyte is read.
        {head + "sets 1\nset 1 1 1 0\nend\n", std::uintmax_t{2} << 30,
         L"line 7: the line is longer than 1024 characters"},
        {head + "sets 1000001\n", 0,
         L"line 4: the file announces 1000001 result sets; a description of more"},
        {head + "sets 1\nset 1 1 1 0\nset 2 2 2 0\n", 0,
         L"line 6: the file announces 1 result sets and holds more"},
    };
    for (const Hostile& hostile : cases) {
        const std::filesystem::path path = scratch_.Path() / "dorvix_as.des";
        decktest::WriteText(path, hostile.text);
        if (hostile.sparseSize != 0) std::filesystem::resize_file(path, hostile.sparseSize);
        reader_.SetResultFile(path);
        JXList<double> times(5, 100);
        EXPECT_EQ(reader_.GetResultSets(times, numbers_, codes_), E_FAIL) << hostile.text;
        EXPECT_TRUE(times.IsEmpty());
        EXPECT_NE(reader_.GetProblem().find(hostile.reason), std::wstring::npos) << reader_.GetProblem();
    }
}

TEST(OrthotropicMaterialData, ReadsTheHostsConstantsAtTheTemperature) {
    NCAERep::CCAEDatabase database;
    database.setHostProvider(
        std::make_shared<materials_test::LibraryProvider>(materials_test::CaseLibrary("materials-elastic")));
    database.getRoot()->createChild(L"MaterialLibraryRep", L"MaterialLibraryRep");
    auto* material =
        dynamic_cast<NCAERep::CMaterialRep*>(database.getRoot()->createChild(L"MaterialRep", L"M"));
    ASSERT_NE(material, nullptr);
    DorvixResultReader::OrthotropicBlock block{};

    material->m_MaterialName.setValue(std::wstring(L"No Such Material"));
    EXPECT_EQ(DorvixResultReader::GetOrthotropicMaterialData(*material, 50.0, block), E_FAIL);

    material->m_MaterialName.setValue(std::wstring(L"Orthotropic Laminate"));
    ASSERT_EQ(DorvixResultReader::GetOrthotropicMaterialData(*material, 50.0, block), S_OK);
    EXPECT_DOUBLE_EQ(block[0], 125e9);  // halfway between the points at 20 and 80
    EXPECT_DOUBLE_EQ(block[3], 4.5e9);
    EXPECT_DOUBLE_EQ(block[4], 2.75e9);
    EXPECT_EQ(block[6], 0.0);  // the library names its Poisson's ratios the other way round
    EXPECT_EQ(block[15], 0.0);

    material->m_MaterialName.setValue(std::wstring(L"Structural Steel"));
    ASSERT_EQ(DorvixResultReader::GetOrthotropicMaterialData(*material, 50.0, block), S_OK);
    EXPECT_EQ(block[0], DBL_MAX);
    EXPECT_EQ(block[3], 0.0);
}
