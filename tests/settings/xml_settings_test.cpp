// The settings' XML form: every class round-tripped, each block's elements, malformed and other-version text.
#include <gtest/gtest.h>

#include <functional>

#include "settings/settings_xml.h"
#include "settings_test_support.h"

namespace {

using settings_test::ReadXmlText;
using settings_test::WriteXmlText;

// The same document without the indentation between elements.
std::string Compact(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.push_back(text[i]);
        if (text[i] != '>') continue;
        std::size_t next = text.find_first_not_of(" \t\r\n", i + 1);
        if (next != std::string::npos && text[next] == '<') i = next - 1;
    }
    return out;
}

// Writes the settings, lets `edit` change the document and answers the document text.
std::string EditedXml(const DorvixSolutionSettings& s, const std::function<void(pugi::xml_node root)>& edit) {
    XmlDocument doc;
    EXPECT_EQ(doc.LoadFromText(WriteXmlText(s)), S_OK);
    edit(doc.Root().first_child());
    return doc.SaveString();
}

pugi::xml_node Path(pugi::xml_node node, const char* xpath) { return node.select_node(xpath).node(); }

void SetText(pugi::xml_node node, const char* text) {
    ASSERT_TRUE(node) << "no node to edit";
    node.text().set(text);
}

void ExpectRoundTrip(const DorvixSolutionSettings& source) {
    const std::string text = WriteXmlText(source);
    const auto pretty = settings_test::FreshLike(source), compact = settings_test::FreshLike(source);
    ASSERT_FALSE(*pretty == source);
    ASSERT_EQ(ReadXmlText(*pretty, text), S_OK) << text;
    EXPECT_TRUE(*pretty == source) << text;
    ASSERT_EQ(Compact(text).find(">\n "), std::string::npos);
    ASSERT_EQ(ReadXmlText(*compact, Compact(text)), S_OK);
    EXPECT_TRUE(*compact == source);
}

TEST(SettingsXml, EveryClassRoundTripsIndentedAndCompact) {
    for (const auto& source : settings_test::FilledObjects(false)) ExpectRoundTrip(*source);
}

TEST(SettingsXml, RootHoldsItsBlocksInOrder) {
    DorvixStaticMechanicalSettings s;
    ASSERT_EQ(s.GetStepList().AddStepAtTime(2.0), 0);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(s)), S_OK);
    pugi::xml_node root = doc.Root().first_child();
    EXPECT_STREQ(root.name(), "DorvixStaticMechanicalSettings");
    EXPECT_STREQ(root.attribute("version").value(), "1");
    std::vector<std::string> names;
    for (pugi::xml_node child : root.children()) names.push_back(child.name());
    EXPECT_EQ(names, (std::vector<std::string>{"StepControls", "StepControls", "SolverControls",
                                               "SolverFileControls"}));
    EXPECT_STREQ(Path(root, "StepControls[2]/EndTime").text().get(), "2.");

    DorvixTransientMechanicalSettings t;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(t)), S_OK);
    names.clear();
    for (pugi::xml_node child : doc.Root().first_child().children()) names.push_back(child.name());
    EXPECT_EQ(names, (std::vector<std::string>{"StepControls", "SolverControls", "DampingControls",
                                               "SolverFileControls"}));
}

TEST(SettingsXml, OutputWithoutElementOfItsOwnSurvivesReading) {
    DorvixStaticThermalSettings source;  // supports 4, 5, 6
    DorvixStaticThermalSettings read;
    ASSERT_EQ(ReadXmlText(read, WriteXmlText(source)), S_OK);
    EXPECT_TRUE(read.GetStepList().GetStep(1)->GetOutputControls().IsOutputRequested(kUnnamedOutput));
    EXPECT_TRUE(read == source);
}

TEST(SettingsXml, RootOfAnotherClassOrNoneIsNotFound) {
    DorvixStaticMechanicalSettings s;
    s.GetSolverFileControls().SetResultFile(L"keep.res");
    EXPECT_EQ(ReadXmlText(s, "<AnalysisSettings/>"), E_FAIL);
    EXPECT_EQ(ReadXmlText(s, WriteXmlText(DorvixModalMechanicalSettings())), E_FAIL);
    EXPECT_EQ(s.GetReadProblem(), L"DorvixStaticMechanicalSettings: missing");
    EXPECT_EQ(s.GetSolverFileControls().GetResultFile(), L"keep.res");
    ASSERT_EQ(ReadXmlText(s, WriteXmlText(DorvixStaticMechanicalSettings())), S_OK);
    EXPECT_EQ(s.GetReadProblem(), L"");
}

TEST(SettingsXml, EveryClassAnswersAFailedWrite) {
    for (const auto& settings : settings_test::FilledObjects())
        EXPECT_EQ(settings->WriteXML(XmlNode()), E_FAIL) << settings->GetAnalysisType();
}

TEST(SettingsXml, WritingTwiceAppendsTwoRootsAndTheFirstIsRead) {
    DorvixModalMechanicalSettings first, second, read;
    first.GetModalControls().SetNumModesToFind(3);
    second.GetModalControls().SetNumModesToFind(9);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText("<AnalysisSettings/>"), S_OK);
    ASSERT_EQ(first.WriteXML(doc.Root()), S_OK);
    ASSERT_EQ(second.WriteXML(doc.Root()), S_OK);
    EXPECT_EQ(std::distance(doc.Root().children().begin(), doc.Root().children().end()), 2);
    ASSERT_EQ(read.ReadXML(doc.Root()), S_OK);
    EXPECT_EQ(read.GetModalControls().GetNumModesToFind(), 3);
}

TEST(SettingsXml, SolverFileTexts) {
    DorvixModalMechanicalSettings s;
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(s)), S_OK);
    pugi::xml_node files = Path(doc.Root(), "*/SolverFileControls");
    EXPECT_FALSE(files.child("FutureAnalysisType"));
    EXPECT_STREQ(files.child("SolverUnits").text().get(), "-1");
    EXPECT_STREQ(files.attribute("version").value(), "1");
    DorvixModalMechanicalSettings read;
    read.GetSolverFileControls().SetFutureAnalysisType(3);
    read.GetSolverFileControls().SetSolverUnits(2);
    ASSERT_EQ(read.ReadXML(doc.Root()), S_OK);
    EXPECT_EQ(read.GetSolverFileControls().GetFutureAnalysisType(), 0u);
    EXPECT_EQ(read.GetSolverFileControls().GetSolverUnits(), 0xFFFF);
}

TEST(SettingsXml, HarmonicMethodShapesTheForcingFrequency) {
    DorvixHarmonicMechanicalSettings h;
    h.GetHarmonicControls().SetClustering(true);
    h.GetHarmonicControls().SetClusterNumber(4);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(h)), S_OK);
    pugi::xml_node forcing = Path(doc.Root(), "*/HarmonicControls/ForcingFrequency");
    EXPECT_STREQ(forcing.attribute("unit").value(), "Hz");
    std::vector<std::string> names;
    for (pugi::xml_node child : forcing.children()) names.push_back(child.name());
    EXPECT_EQ(names, (std::vector<std::string>{"Minimum", "Maximum", "ClusterNumber"}));
    EXPECT_STREQ(forcing.child("ClusterNumber").text().get(), "4");
    EXPECT_STREQ(
        Path(doc.Root(), "*/HarmonicControls/HarmonicMethod/ModeSuperposition/StoreResultsAtAllFrequencies")
            .text()
            .get(),
        "true");

    h.GetHarmonicControls().SetHarmonicMethod(kFullMethod);
    h.GetHarmonicControls().SetIntervals(12);
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(h)), S_OK);
    forcing = Path(doc.Root(), "*/HarmonicControls/ForcingFrequency");
    EXPECT_STREQ(forcing.last_child().name(), "Intervals");
    EXPECT_TRUE(Path(doc.Root(), "*/HarmonicControls/HarmonicMethod/Full"));
    DorvixHarmonicMechanicalSettings read;
    ASSERT_EQ(read.ReadXML(doc.Root()), S_OK);
    EXPECT_EQ(read.GetHarmonicControls().GetHarmonicMethod(), kFullMethod);
    EXPECT_EQ(read.GetHarmonicControls().GetIntervals(), 12);

    const std::string stored = EditedXml(DorvixHarmonicMechanicalSettings(), [](pugi::xml_node root) {
        SetText(Path(root, "HarmonicControls/HarmonicMethod/ModeSuperposition/StoreResultsAtAllFrequencies"),
                "false");
    });
    ASSERT_EQ(ReadXmlText(read, stored), S_OK);
    EXPECT_EQ(read.GetHarmonicControls().GetStoreResultsAtAllFrequencies(), 1);
}

TEST(SettingsXml, ModalRangeAndCounts) {
    DorvixModalMechanicalSettings s;
    s.GetModalControls().StoreFrequencyRange(3.0, 30.0);  // range search off
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(s)), S_OK);
    EXPECT_FALSE(Path(doc.Root(), "*/ModalControls/FrequencyRange"));
    DorvixModalMechanicalSettings read;
    read.GetModalControls().SetFrequencyRange(7.0, 70.0);
    ASSERT_EQ(read.ReadXML(doc.Root()), S_OK);
    EXPECT_FALSE(read.GetModalControls().GetRangeSearch());
    EXPECT_EQ(read.GetModalControls().GetMinFrequency(), 7.0);
    EXPECT_EQ(read.GetModalControls().GetMaxFrequency(), 70.0);

    const std::string zero = EditedXml(
        s, [](pugi::xml_node root) { SetText(Path(root, "ModalControls/NumberOfModesToFind"), "0"); });
    ASSERT_EQ(ReadXmlText(read, zero), S_OK);
    EXPECT_EQ(read.GetModalControls().GetNumModesToFind(), 0);
}

TEST(SettingsXml, ReferenceTemperatureIsWrittenAsStored) {
    DorvixModalMechanicalSettings s;
    s.GetModalControls().StoreRefTemperature(37.5);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(s)), S_OK);
    EXPECT_STREQ(Path(doc.Root(), "*/ModalControls/RefTemperature").text().get(), "37.5");
}

TEST(SettingsXml, BucklingSolverControlsStayOutOfTheXml) {
    DorvixBucklingMechanicalSettings source, read;
    source.GetSolverControls().SetSolverType(kSolverDual);
    read.GetSolverControls().SetSolverType(kSolverFrontal);
    const std::string text = WriteXmlText(source);
    EXPECT_EQ(text.find("SolverControls"), std::string::npos);
    ASSERT_EQ(ReadXmlText(read, text), S_OK);
    EXPECT_EQ(read.GetSolverControls().GetSolverType(), kSolverFrontal);
}

TEST(SettingsXml, ProgramControlledSteppingWritesOnlyItsName) {
    DorvixStaticMechanicalSettings s;  // template: program controlled, by sub-steps
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(s)), S_OK);
    pugi::xml_node autoType = Path(doc.Root(), "*/StepControls/TimeStepOptions/AutoTimeSteppingType");
    EXPECT_STREQ(autoType.text().get(), "ProgramControlled");
    EXPECT_FALSE(autoType.first_element_by_path("DefinedBy"));
    DorvixStaticMechanicalSettings read;
    ASSERT_EQ(read.ReadXML(doc.Root()), S_OK);
    EXPECT_EQ(read.GetStepList().GetStep(1)->GetTimeStepOptions(), read.GetTemplateTimeStepOptions());
}

TEST(SettingsXml, CarriedOverTimeStepHasNoInitial) {
    DorvixTransientMechanicalSettings s;
    DorvixTimeStepOptions& o = s.GetStepList().GetStep(1)->GetTimeStepOptions();
    o.SetCarryOverTimeStep(true);
    o.SetInitialTimeStep(0.125);
    o.SetMinimumTimeStep(0.0625);
    o.SetMaximumTimeStep(0.25);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText(WriteXmlText(s)), S_OK);
    pugi::xml_node time =
        Path(doc.Root(), "*/StepControls/TimeStepOptions/AutoTimeSteppingType/On/DefinedBy/Time");
    ASSERT_TRUE(time);
    EXPECT_STREQ(time.child("CarryOver").text().get(), "On");
    EXPECT_FALSE(time.child("Initial"));
    DorvixTransientMechanicalSettings read;
    ASSERT_EQ(read.ReadXML(doc.Root()), S_OK);
    const DorvixTimeStepOptions& r = read.GetStepList().GetStep(1)->GetTimeStepOptions();
    EXPECT_TRUE(r.GetCarryOverTimeStep());
    EXPECT_EQ(r.GetInitialTimeStep(), 0.0);  // the template's
    EXPECT_EQ(r.GetMaximumTimeStep(), 0.25);
}

TEST(SettingsXml, SubStepCountsAreReadWithTheStepsOwnSpan) {
    DorvixStaticMechanicalSettings s;
    ASSERT_EQ(s.GetStepList().AddStepAtTime(5.0), 0);  // span 4, template counts 1..10
    DorvixStaticMechanicalSettings read;
    ASSERT_EQ(ReadXmlText(read, WriteXmlText(s)), S_OK);
    const DorvixTimeStepOptions& o = read.GetStepList().GetStep(2)->GetTimeStepOptions();
    EXPECT_EQ(o.GetStepSpan(), 4.0);
    EXPECT_EQ(o.GetInitialTimeStep(), 4.0);
    EXPECT_EQ(o.GetMinimumTimeStep(), 0.4);
    EXPECT_TRUE(read == s);
}

TEST(SettingsXml, SolverControlsMarkWhatTheyFind) {
    DorvixSolverControls source({1, 3});
    source.SetSolverType(kSolverManual);
    source.SetManualSolver(5);
    source.SetWeakSprings(kOff);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText("<Root/>"), S_OK);
    ASSERT_EQ(WriteSolverControlsXml(source, doc.Root()), S_OK);
    EXPECT_STREQ(Path(doc.Root(), "SolverControls/SolverType/Manual/Value").text().get(), "5");
    EXPECT_TRUE(Path(doc.Root(), "SolverControls/WeakSprings/Off"));
    DorvixSolverControls read({1});
    ASSERT_EQ(ReadSolverControlsXml(read, doc.Root()), S_OK);
    EXPECT_EQ(read.GetPresentControls(), (std::set<int>{1, 3}));
    EXPECT_EQ(read.GetWeakSprings(), static_cast<unsigned>(kOff));

    DorvixSolverControls factor({3});
    factor.SetWeakSprings(kOn);
    factor.SetSpringsStiffnessType(kStiffnessFactor);
    factor.SetSpringsStiffnessFactor(2.5);
    factor.SetSpringsStiffnessValue(99.0);
    ASSERT_EQ(doc.LoadFromText("<Root/>"), S_OK);
    ASSERT_EQ(WriteSolverControlsXml(factor, doc.Root()), S_OK);
    EXPECT_STREQ(Path(doc.Root(), "SolverControls/WeakSprings/On/SpringsStiffness/Factor").text().get(),
                 "2.5");
    EXPECT_EQ(doc.SaveString().find("99"), std::string::npos);
}

TEST(SettingsXml, DampingDefinitions) {
    XmlDocument doc;
    ASSERT_EQ(
        doc.LoadFromText("<Root><DampingControls><BetaDamping>0.5<BetaVsFrequency><Frequency>1.</Frequency>"
                         "<Measure>2.</Measure></BetaVsFrequency></BetaDamping></DampingControls></Root>"),
        S_OK);
    DorvixDampingControls d({1, 2, 3});
    ASSERT_EQ(ReadDampingControlsXml(d, doc.Root()), S_OK);
    EXPECT_EQ(d.GetBetaDampingDefinition(), kBetaByValue);  // the text is tried first
    EXPECT_EQ(d.GetBetaDamping(), 0.5);
    EXPECT_EQ(d.GetPresentControls(), (std::set<int>{2}));

    ASSERT_EQ(doc.LoadFromText(
                  "<Root><DampingControls><NumericalValue>0.3</NumericalValue></DampingControls></Root>"),
              S_OK);
    ASSERT_EQ(ReadDampingControlsXml(d, doc.Root()), S_OK);
    EXPECT_EQ(d.GetPresentControls(), (std::set<int>{3}));

    DorvixDampingControls byFrequency({2});
    byFrequency.SetBetaDampingDefinition(kBetaByFrequency);
    byFrequency.SetBetaDamping(0.75);
    ASSERT_EQ(doc.LoadFromText("<Root/>"), S_OK);
    ASSERT_EQ(WriteDampingControlsXml(byFrequency, doc.Root()), S_OK);
    DorvixDampingControls read({2});
    read.SetBetaDamping(0.125);
    ASSERT_EQ(ReadDampingControlsXml(read, doc.Root()), S_OK);
    EXPECT_EQ(read.GetBetaDampingDefinition(), kBetaByFrequency);
    EXPECT_EQ(read.GetBetaDamping(), 0.125);  // not written, not recomputed
}

TEST(SettingsXml, NumberLists) {
    std::set<double> values{42.0};
    EXPECT_EQ(ParseNumberList(L"1.5,\t2 \n 2 0.5", values), S_OK);
    EXPECT_EQ(values, (std::set<double>{0.5, 1.5, 2.0}));
    EXPECT_EQ(ParseNumberList(L"", values), S_OK);
    EXPECT_TRUE(values.empty());
    values = {1.0};
    EXPECT_EQ(ParseNumberList(L" ,\t\n", values), S_OK);
    EXPECT_TRUE(values.empty());
    // A piece counts as far as it is a number; one that is none adds 0.
    EXPECT_EQ(ParseNumberList(L",1.5 abc,,2x ", values), S_OK);
    EXPECT_EQ(values, (std::set<double>{0.0, 1.5, 2.0}));
    EXPECT_EQ(ParseNumberList(L"3 nan -inf", values), S_OK);
    EXPECT_EQ(values, (std::set<double>{0.0, 3.0}));
    EXPECT_EQ(ParseNumberList(L"1.e-007 3.e+016", values), S_OK);
    EXPECT_EQ(values, (std::set<double>{1e-7, 3e16}));
}

TEST(SettingsXml, ResultsBlockWriter) {
    DorvixOutputControls o({1, 2, 6});
    o.SetOutputRequested(1, true);
    o.SetTimePointsOptions(kTimePointsLast);
    XmlDocument doc;
    ASSERT_EQ(doc.LoadFromText("<Root/>"), S_OK);
    ASSERT_EQ(WriteOutputControlsXml(o, doc.Root()), S_OK);
    std::vector<std::string> names;
    for (pugi::xml_node child : Path(doc.Root(), "OutputControls").children()) names.push_back(child.name());
    EXPECT_EQ(names, (std::vector<std::string>{"Stress", "Strain", "TimePointsOptions", "ResultSetsType",
                                               "ResultSets"}));
    EXPECT_STREQ(Path(doc.Root(), "OutputControls/Stress").text().get(), "true");
    EXPECT_STREQ(Path(doc.Root(), "OutputControls/Strain").text().get(), "false");
    EXPECT_STREQ(Path(doc.Root(), "OutputControls/TimePointsOptions").text().get(), "Last");
}

TEST(SettingsXml, BooleanWords) {
    for (const char* text : {"TRUE", "1", " true ", "-2"}) {
        DorvixModalMechanicalSettings read;
        const std::string doc = EditedXml(DorvixModalMechanicalSettings(), [&](pugi::xml_node root) {
            SetText(Path(root, "OutputControls/Strain"), text);
        });
        ASSERT_EQ(ReadXmlText(read, doc), S_OK) << text;
        EXPECT_TRUE(read.GetOutputControls().IsOutputRequested(kStrainOutput)) << text;
    }
}

// Each edit spoils one element; the read must fail, change nothing and say why.
struct Spoiler {
    const char* what;
    std::function<void(pugi::xml_node root)> edit;
    const wchar_t* problem;
};

template <class S>
void ExpectEveryEditFails(const S& source, const std::vector<Spoiler>& spoilers) {
    for (const Spoiler& spoiler : spoilers) {
        S target;
        const S before;
        ASSERT_TRUE(target == before);
        EXPECT_EQ(ReadXmlText(target, EditedXml(source, spoiler.edit)), E_FAIL) << spoiler.what;
        EXPECT_TRUE(target == before) << spoiler.what;
        EXPECT_EQ(target.GetReadProblem(), spoiler.problem) << spoiler.what;
    }
}

void Remove(pugi::xml_node node) {
    ASSERT_TRUE(node) << "no node to remove";
    node.parent().remove_child(node);
}

void Rename(pugi::xml_node node, const char* name) {
    ASSERT_TRUE(node) << "no node to rename";
    node.set_name(name);
}

TEST(SettingsXml, MalformedStepSettingsFailAndChangeNothing) {
    DorvixStaticMechanicalSettings source;
    settings_test::FillStepSettings(source);
    ExpectEveryEditFails(
        source,
        {
            {"end time text", [](auto r) { SetText(Path(r, "StepControls[2]/EndTime"), "soon"); },
             L"StepControls[2]/EndTime: not a number"},
            {"end time missing", [](auto r) { Remove(Path(r, "StepControls[2]/EndTime")); },
             L"StepControls[2]/EndTime: missing"},
            {"end times out of order", [](auto r) { SetText(Path(r, "StepControls[3]/EndTime"), "2"); },
             L"StepControls[3]/EndTime: not after the end time of the step before"},
            {"first end time zero", [](auto r) { SetText(Path(r, "StepControls[1]/EndTime"), "0"); },
             L"StepControls[1]/EndTime: not above 0"},
            {"last end time infinite", [](auto r) { SetText(Path(r, "StepControls[4]/EndTime"), "inf"); },
             L"StepControls[4]/EndTime: not a number"},
            {"weak springs empty", [](auto r) { Remove(Path(r, "SolverControls/WeakSprings/On")); },
             L"SolverControls/WeakSprings: holds none of ProgramControlled, Off and On"},
            {"additional list missing", [](auto r) { Remove(Path(r, "SolverFileControls/AdditionalList")); },
             L"SolverFileControls/AdditionalList: missing"},
            {"solver units text", [](auto r) { SetText(Path(r, "SolverFileControls/SolverUnits"), "MKS"); },
             L"SolverFileControls/SolverUnits: not an integer"},
            {"solver units range",
             [](auto r) { SetText(Path(r, "SolverFileControls/SolverUnits"), "70000"); },
             L"SolverFileControls/SolverUnits: outside -32768..65535"},
            {"solver units with two signs",
             [](auto r) { SetText(Path(r, "SolverFileControls/SolverUnits"), "+-1"); },
             L"SolverFileControls/SolverUnits: not an integer"},
            {"save flag word", [](auto r) { SetText(Path(r, "SolverFileControls/SaveDorvixDB"), "yes"); },
             L"SolverFileControls/SaveDorvixDB: neither true nor false"},
            {"result file missing", [](auto r) { Remove(Path(r, "SolverFileControls/ResultFile")); },
             L"SolverFileControls/ResultFile: missing"},
        });
}

// Documents written by other versions of the system: what cannot be read inside a step, an
// element the reader does not know and a choice it does not know are passed over. The read
// succeeds, keeps what the record had there and says what it passed over.
struct PassedOver {
    const char* what;
    std::function<void(pugi::xml_node root)> edit;
    std::function<void(const DorvixStaticMechanicalSettings& read)> check;
    const wchar_t* problem;
};

TEST(SettingsXml, WhatOtherVersionsMayWriteIsPassedOver) {
    DorvixStaticMechanicalSettings source;
    settings_test::FillStepSettings(source);
    const DorvixStaticMechanicalSettings fresh;
    const auto options = [](const DorvixStaticMechanicalSettings& s, int i) -> const DorvixTimeStepOptions& {
        return s.GetStepList().GetStep(i)->GetTimeStepOptions();
    };
    const auto output = [](const DorvixStaticMechanicalSettings& s, int i) -> const DorvixOutputControls& {
        return s.GetStepList().GetStep(i)->GetOutputControls();
    };
    const std::vector<PassedOver> cases = {
        {"unknown elements",
         [](auto r) {
             r.append_child("Comment");
             Path(r, "StepControls[2]").append_child("Ramped").text().set("true");
             Path(r, "StepControls[2]/TimeStepOptions/NewtonControls").append_child("LineSearch");
             Path(r, "SolverFileControls").append_child("Compression");
         },
         [&](const auto& read) { EXPECT_TRUE(read == source); }, L""},
        {"a step element of another name", [](auto r) { Rename(Path(r, "StepControls[2]"), "StepControl"); },
         [&](const auto& read) {
             ASSERT_EQ(read.GetNumberOfSteps(), 3);
             EXPECT_EQ(read.GetStepList().GetStep(2)->GetEndTime(), 10.0);
         },
         L""},
        // The step's own edge case: its time stepping fails before the Newton controls, yet the
        // end time, results block and flags are read.
        {"On without DefinedBy",
         [](auto r) { Remove(Path(r, "StepControls[1]/TimeStepOptions/AutoTimeSteppingType/On/DefinedBy")); },
         [&](const auto& read) {
             const DorvixStepControls& step = *read.GetStepList().GetStep(1);
             EXPECT_EQ(step.GetEndTime(), 1.5);
             EXPECT_EQ(options(read, 1).GetUseAutoTimeStepping(), kProgramControlled);  // the template's
             EXPECT_EQ(options(read, 1).GetNewtonEnergyConvergenceType(), kProgramControlledType);
             EXPECT_EQ(output(read, 1), output(source, 1));
             EXPECT_EQ(step.GetInertialRelief(), source.GetStepList().GetStep(1)->GetInertialRelief());
             EXPECT_TRUE(read.GetStepList().GetStep(2)->GetTimeStepOptions() == options(source, 2));
         },
         L"StepControls[1]/TimeStepOptions/AutoTimeSteppingType: neither ProgramControlled nor Off or On "
         L"holding DefinedBy"},
        {"Newton control without a type",
         [](auto r) {
             Rename(Path(r, "StepControls[1]/TimeStepOptions/NewtonControls/EnergyConvergence/Manual"),
                    "Auto");
         },
         [&](const auto& read) {
             EXPECT_EQ(options(read, 1).GetNewtonEnergyConvergence(),
                       fresh.GetTemplateTimeStepOptions().GetNewtonEnergyConvergence());
             EXPECT_EQ(read.GetStepList().GetStep(1)->GetEndTime(), 1.5);
         },
         L"StepControls[1]/TimeStepOptions/NewtonControls/EnergyConvergence: holds neither ProgramControlled "
         L"nor Manual"},
        {"sub-step count text",
         [](auto r) {
             SetText(Path(r,
                          "StepControls[2]/TimeStepOptions/AutoTimeSteppingType/Off/DefinedBy/SubSteps/"
                          "NumberOfSubsteps"),
                     "5 steps");
         },
         [&](const auto& read) { EXPECT_EQ(options(read, 2).GetUseAutoTimeStepping(), kProgramControlled); },
         L"StepControls[2]/TimeStepOptions/AutoTimeSteppingType/Off/DefinedBy/SubSteps/NumberOfSubsteps: "
         L"not a whole number of 0 or more"},
        {"results block missing", [](auto r) { Remove(Path(r, "StepControls[1]/OutputControls")); },
         [&](const auto& read) { EXPECT_EQ(output(read, 1), fresh.GetTemplateOutputControls()); },
         L"StepControls[1]/OutputControls: missing"},
        {"unknown time points word",
         [](auto r) { SetText(Path(r, "StepControls[1]/OutputControls/TimePointsOptions"), "Some"); },
         [&](const auto& read) {
             EXPECT_EQ(output(read, 1).GetTimePointsOptions(),
                       fresh.GetTemplateOutputControls().GetTimePointsOptions());
             EXPECT_EQ(output(read, 1).GetResultSets(), output(source, 1).GetResultSets());
         },
         L"StepControls[1]/OutputControls/TimePointsOptions: no known choice, kept as it was"},
        {"result set word",
         [](auto r) { SetText(Path(r, "StepControls[1]/OutputControls/ResultSets"), "1 two"); },
         [&](const auto& read) {
             EXPECT_EQ(output(read, 1).GetResultSets(), (std::set<double>{0.0, 1.0}));
         },
         L""},
        {"flag word", [](auto r) { SetText(Path(r, "StepControls[2]/InertialRelief"), "maybe"); },
         [&](const auto& read) { EXPECT_FALSE(read.GetStepList().GetStep(2)->GetInertialRelief()); },
         L"StepControls[2]/InertialRelief: neither true nor false"},
        {"solver type unknown", [](auto r) { Rename(Path(r, "SolverControls/SolverType/Manual"), "Magic"); },
         [&](const auto& read) {
             EXPECT_EQ(read.GetSolverControls().GetSolverType(), fresh.GetSolverControls().GetSolverType());
             EXPECT_TRUE(read.GetSolverControls().GetDoPrestressedStatic());
         },
         L"SolverControls/SolverType: no known solver, kept as it was"},
        {"manual solver missing", [](auto r) { Remove(Path(r, "SolverControls/SolverType/Manual/Value")); },
         [&](const auto& read) {
             EXPECT_EQ(read.GetSolverControls().GetSolverType(), kSolverManual);
             EXPECT_EQ(read.GetSolverControls().GetManualSolver(),
                       fresh.GetSolverControls().GetManualSolver());
         },
         L"SolverControls/SolverType/Manual/Value: missing"},
        {"stiffness factor text",
         [](auto r) { SetText(Path(r, "SolverControls/WeakSprings/On/SpringsStiffness/Factor"), "big"); },
         [&](const auto& read) {
             EXPECT_EQ(read.GetSolverControls().GetSpringsStiffnessType(), kStiffnessFactor);
             EXPECT_EQ(read.GetSolverControls().GetSpringsStiffnessFactor(),
                       fresh.GetSolverControls().GetSpringsStiffnessFactor());
         },
         L"SolverControls/WeakSprings/On/SpringsStiffness/Factor: not a number"},
        {"solver controls missing", [](auto r) { Remove(Path(r, "SolverControls")); },
         [&](const auto& read) {
             EXPECT_EQ(read.GetSolverControls(), fresh.GetSolverControls());
             EXPECT_TRUE(read.GetStepList() == source.GetStepList());
         },
         L""},
        {"future analysis word",
         [](auto r) { SetText(Path(r, "SolverFileControls/FutureAnalysisType"), "Later"); },
         [&](const auto& read) {
             EXPECT_EQ(read.GetSolverFileControls().GetFutureAnalysisType(), kNoFutureAnalysis);
             EXPECT_EQ(read.GetSolverFileControls().GetResultFile(), L"result.res");
         },
         L"SolverFileControls/FutureAnalysisType: no known analysis, none kept"},
    };
    for (const PassedOver& c : cases) {
        DorvixStaticMechanicalSettings read;
        ASSERT_EQ(ReadXmlText(read, EditedXml(source, c.edit)), S_OK) << c.what;
        c.check(read);
        EXPECT_EQ(read.GetReadProblem(), c.problem) << c.what;
    }
}

TEST(SettingsXml, MalformedOtherSettingsFailAndChangeNothing) {
    DorvixTransientMechanicalSettings transient;
    settings_test::FillStepSettings(transient);
    ExpectEveryEditFails(
        transient,
        {
            {"beta empty", [](auto r) { Remove(Path(r, "DampingControls/BetaDamping/BetaVsFrequency")); },
             L"DampingControls/BetaDamping: holds neither a value nor BetaVsFrequency"},
            {"measure text",
             [](auto r) { SetText(Path(r, "DampingControls/BetaDamping/BetaVsFrequency/Measure"), "-"); },
             L"DampingControls/BetaDamping/BetaVsFrequency/Measure: not a number"},
        });
    DorvixHarmonicMechanicalSettings harmonic;
    settings_test::FillHarmonic(harmonic);
    ExpectEveryEditFails(
        harmonic, {
                      {"cluster number missing",
                       [](auto r) { Remove(Path(r, "HarmonicControls/ForcingFrequency/ClusterNumber")); },
                       L"HarmonicControls/ForcingFrequency/ClusterNumber: missing"},
                      {"method empty",
                       [](auto r) { Remove(Path(r, "HarmonicControls/HarmonicMethod/ModeSuperposition")); },
                       L"HarmonicControls/HarmonicMethod: neither ModeSuperposition nor Full"},
                      {"manual range intervals",
                       [](auto r) {
                           SetText(
                               Path(r,
                                    "HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange/"
                                    "ManualRange/Intervals"),
                               "-1");
                       },
                       L"HarmonicControls/HarmonicMethod/ModeSuperposition/ModalFrequencyRange/ManualRange/"
                       L"Intervals: not a "
                       L"whole number of 0 or more"},
                      {"root results block missing", [](auto r) { Remove(Path(r, "OutputControls")); },
                       L"OutputControls: missing"},
                  });
    DorvixModalMechanicalSettings modal;
    settings_test::FillModalControls(modal.GetModalControls());
    ExpectEveryEditFails(
        modal,
        {
            {"mode count missing", [](auto r) { Remove(Path(r, "ModalControls/NumberOfModesToFind")); },
             L"ModalControls/NumberOfModesToFind: missing"},
            {"range child missing", [](auto r) { Remove(Path(r, "ModalControls/FrequencyRange/Maximum")); },
             L"ModalControls/FrequencyRange/Maximum: missing"},
            {"temperature text", [](auto r) { SetText(Path(r, "ModalControls/RefTemperature"), "warm"); },
             L"ModalControls/RefTemperature: not a number"},
            {"temperature undefined", [](auto r) { SetText(Path(r, "ModalControls/RefTemperature"), "nan"); },
             L"ModalControls/RefTemperature: not a number"},
            {"harmonic index missing", [](auto r) { Remove(Path(r, "ModalControls/HarmonicIndex")); },
             L"ModalControls/HarmonicIndex: missing"},
            {"results type unknown",
             [](auto r) { SetText(Path(r, "OutputControls/ResultSetsType"), "Some"); },
             L"OutputControls/ResultSetsType: neither Auto nor Manual"},
            {"manual sets missing",
             [](auto r) {
                 SetText(Path(r, "OutputControls/ResultSetsType"), "Manual");
                 Remove(Path(r, "OutputControls/ResultSets"));
             },
             L"OutputControls/ResultSets: missing"},
        });
    // A transient root without damping controls leaves none present.
    DorvixTransientMechanicalSettings read;
    ASSERT_EQ(ReadXmlText(read, EditedXml(transient, [](auto r) { Remove(Path(r, "DampingControls")); })),
              S_OK);
    EXPECT_TRUE(read.GetDampingControls()->GetPresentControls().empty());
}

TEST(SettingsXml, AbsentOptionalElementsKeepTheirValues) {
    DorvixTransientThermalSettings source;
    const std::string text = EditedXml(source, [](pugi::xml_node root) {
        Remove(Path(root, "StepControls/TimeIntegration"));
        Remove(Path(root, "StepControls/TimeStepOptions/NewtonControls/EnergyConvergence"));
        Remove(Path(root, "StepControls/TimeStepOptions/OutputControls"));
        SetText(Path(root, "StepControls/EndTime"), "3.5");
    });
    DorvixTransientThermalSettings read;
    ASSERT_EQ(ReadXmlText(read, text), S_OK);
    const DorvixStepControls* step = read.GetStepList().GetStep(1);
    EXPECT_TRUE(step->HasStepCode(kTimeIntegrationStepCode));  // from the template
    EXPECT_TRUE(step->GetTimeIntegration());
    EXPECT_EQ(step->GetEndTime(), 3.5);
    // No steps at all: the list stays as it is.
    const std::string noSteps =
        EditedXml(source, [](pugi::xml_node root) { Remove(Path(root, "StepControls")); });
    ASSERT_EQ(read.GetStepList().AddStepAtTime(7.0), 0);
    ASSERT_EQ(ReadXmlText(read, noSteps), S_OK);
    EXPECT_EQ(read.GetNumberOfSteps(), 2);
}

}  // namespace
