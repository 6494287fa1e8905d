// The scaled materials of two-dimensional named selections, written for the example case by a
// feeder loaded and opened as the analysis feeders do: the reviewed section, the name forms,
// the blade data and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numbers>

#include "foundation/text.h"
#include "hostsim/mesh_model.h"
#include "hostsim/object_model.h"
#include "runtime/addin_services.h"
#include "runtime/return_package.h"
#include "tests/deck/feeder/feeder_test_support.h"
#include "tests/golden_file.h"

namespace {

using Lines = std::vector<std::string>;
using Change = std::function<void(HostSimCase&)>;
// The example's blade ring: 24 blades of 0.5 kg at 0.25 m on a body of 2 m² and density 4000.
const double kBladeFactor = 24 * 0.5 / (2 * std::numbers::pi * 0.25 * 2.0 * 4000.0);

// The example case, changed, loaded and opened; its object model (as changed) reachable through
// the add-in services.
struct OpenedCase {
    explicit OpenedCase(const Change& change) : host("scaled-2d") {
        HostSimCase& h = host.MutableCase();
        if (change) change(h);
        (void)AddinServices::GetInstance().SetApplet(
            CreateHostSimApplet(std::make_shared<HostSimObjectModel>(h.objects, h.coordinateSystems)).Get());
        feeder.UseSolveArguments(&host.DataSource(), &package);
        EXPECT_EQ(feeder.LoadCAERepresentation(host.ModelPath(), L""), kRC_Success);
        EXPECT_EQ(feeder.Open(), kRC_Success);
    }
    ~OpenedCase() { AddinServices::ReleaseInstance(); }

    decktest::ScratchFolder scratch;
    feedertest::ModelCase host;
    ReturnPackage package;
    feedertest::FeederUnderTest feeder;
};

// Keeps the named selection of the id alone, renamed unless the name is empty.
Change Only(std::uint32_t id, const std::string& name = {}, const Change& more = nullptr) {
    return [=](HostSimCase& h) {
        std::erase_if(h.namedSelections, [id](const ScopingRecord& s) { return s.id != id; });
        if (!name.empty()) h.namedSelections.front().name = name;
        if (more) more(h);
    };
}

// The writer alone on the changed case: its code, its lines and the factor ending the name of
// the material it wrote (-1 for none).
struct Written {
    int code = 0;
    Lines lines;
    double factor = -1.0;
};
Written WriteAlone(const Change& change) {
    OpenedCase c(change);
    Written w;
    w.code = c.feeder.WriteNamedSelectionMaterials();
    w.lines = c.feeder.CloseDeckLines();
    const auto header = std::find_if(w.lines.begin(), w.lines.end(),
                                     [](const std::string& l) { return l.rfind(".MAT I ", 0) == 0; });
    if (header != w.lines.end()) {
        const std::size_t from = header->rfind('_') + 1;
        EXPECT_TRUE(TryParseDouble(header->substr(from, header->size() - from - 1), w.factor)) << *header;
    }
    return w;
}

HostSimObject& Object(HostSimCase& h, int id) {
    return *std::find_if(h.objects.begin(), h.objects.end(),
                         [id](const HostSimObject& o) { return o.id == id; });
}

}  // namespace

// A filler on part of a body (its faces give the elements 7, 3, 3 and 5), a filler by parameter
// on a whole body and a blade ring on a whole body listed in another order, after the materials.
TEST(NamedSelectionMaterials, ExampleSectionInItsReviewedForm) {
    OpenedCase c(nullptr);
    ASSERT_EQ(c.feeder.SendModel(), kRC_Success);
    const Lines all = c.feeder.CloseDeckLines();
    const auto first = std::find_if(all.begin(), all.end(), [](const std::string& l) {
        return l.rfind("!*********** Send Anisotropic material", 0) == 0;
    });
    golden::ExpectLines(decktest::CaseFolder("scaled-2d") / "expected-named-selection-materials.txt",
                        Lines(first, all.end()));
}

TEST(NamedSelectionMaterials, FillerNameForms) {
    const std::pair<const char*, double> rows[] = {
        {"REMPLISSAGE_0.25", 0.25},  {"rEmPlIsSaGe_ +2.5E-1 ", 0.25}, {"remplissage_ratio", 0.5},
        {"remplissage_a_0.5", -1.0}, {"remplissage_0,25", -1.0},      {"remplissage_inf", -1.0},
        {"remplissage_true", -1.0},  {"remplissage0.25", -1.0},       {"Inlet", -1.0},
    };
    for (const auto& [name, factor] : rows) {
        const Written w = WriteAlone(Only(30, name));
        EXPECT_EQ(w.code, kRC_Success) << name;
        EXPECT_EQ(w.factor, factor) << name;
        EXPECT_EQ(w.lines.empty(), factor < 0) << name;
    }
}

TEST(NamedSelectionMaterials, BladeDataAndTheRingsMass) {
    const auto children = [](std::vector<int> ids) {
        return [ids](HostSimCase& h) { Object(h, 31).idLists[135] = ids; };
    };
    const auto text = [](int id, const wchar_t* value) {
        return [=](HostSimCase& h) { Object(h, id).text = value; };
    };
    const auto laterMass = [](HostSimCase& h) {
        h.objects.push_back(Object(h, 43));
        h.objects.back().id = 44;
        h.objects.back().text = L"<P>1.5</P>";
        Object(h, 31).idLists[135] = {41, 42, 43, 44};
    };
    const std::tuple<const char*, Change, double> rows[] = {
        {"all three", nullptr, kBladeFactor},
        {"a deck in mm and t", [](HostSimCase& h) { h.deckUnitSystem = 6; }, kBladeFactor},
        {"two children", children({41, 42}), -1.0},
        {"no mass", children({41, 42, 41}), -1.0},
        {"a later mass replaces", laterMass, 3 * kBladeFactor},
        {"a text without paragraph", text(43, L"0.5"), -1.0},
        {"a radius from a parameter that is no number", text(41, L"<P>hub radius</P>"), -1.0},
        {"a zero area", [](HostSimCase& h) { h.mesh->SetBodyArea(12, 0.0); }, -1.0},
    };
    for (const auto& row : rows) {
        const Written w = WriteAlone(Only(31, {}, std::get<1>(row)));
        EXPECT_EQ(w.code, kRC_Success) << std::get<0>(row);
        EXPECT_NEAR(w.factor, std::get<2>(row), 1e-15) << std::get<0>(row);
    }
}

// 3-D models write nothing; a scoping without element ids answers 25 before anything is
// written; a material that stops half-written (the seal's Poisson's ratio of 1 gives no
// plane-stress stiffness) answers its code and is not assigned.
TEST(NamedSelectionMaterials, CodesAndLastLines) {
    const auto noElements = [](HostSimCase& h) {
        h.namedSelections.front().references = {{999, kJXReferenceFace}};
    };
    const std::tuple<Change, int, const char*> rows[] = {
        {[](HostSimCase& h) { h.is2D = false; }, kRC_Success, nullptr},
        {Only(30, {}, noElements), kRC_MissingData, nullptr},
        {Only(33, "remplissage_0.5"), kRC_MaterialData, "ERROR: Poisson's ratio 1. of material"},
    };
    for (const auto& [change, code, lastLine] : rows) {
        const Written w = WriteAlone(change);
        EXPECT_EQ(w.code, code);
        EXPECT_EQ(w.lines.empty() ? "" : w.lines.back().substr(0, 37), lastLine ? lastLine : "");
    }
}
