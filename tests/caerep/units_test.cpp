// The unit database: installation files, prefixed symbols, conversions, expressions, definition-file edges.
#include "caerep/units/units.h"

#include <gtest/gtest.h>

#include "caerep/core/cae_exception.h"
#include "caerep/core/property_value.h"
#include "caerep/units/units_adaptor.h"
#include "caerep_test_support.h"
#include "foundation/unit_systems.h"

using namespace NCAERep;

namespace {

double Convert(double v, const std::wstring& from, const std::wstring& to, const std::wstring& quantity) {
    double out = 0.0;
    EXPECT_TRUE(CUnits::getInstance()->convert(v, from, to, quantity, out)) << "from " << from.size();
    return out;
}

bool Converts(const std::wstring& from, const std::wstring& to, const std::wstring& quantity) {
    double out = 0.0;
    return CUnits::getInstance()->convert(1.0, from, to, quantity, out);
}

TEST(UnitDatabase, LoadsTheInstallationFilesFoundThroughTheRegistry) {
    CUnits* units = CUnits::getInstance();
    ASSERT_TRUE(units->isLoaded());
    EXPECT_EQ(units, CUnits::getInstance());
    DimensionVector force{};
    ASSERT_TRUE(units->getCategoryDimensions(L"Force", force));
    DimensionVector expected{0, 1, 0, 0, 1, 0, 0, -2, 0, 0};
    EXPECT_TRUE(DimensionsAgree(force, expected));
    EXPECT_FALSE(units->getCategoryDimensions(L"NoSuchCategory", force));
}

TEST(UnitDatabase, PrefixedSymbolsFollowTheRegistrationRule) {
    CUnits* units = CUnits::getInstance();
    for (const wchar_t* s : {L"kilometre", L"km", L"kilom", L"kmetre"}) {
        const auto* readings = units->findSymbol(s);
        ASSERT_NE(readings, nullptr) << s;
        EXPECT_EQ(readings->front(), (CUnits::Reading{L"kilo", L"metre"}));
    }
    // Minutes take no prefixes, so no milli-minute exists.
    EXPECT_EQ(units->findSymbol(L"mmin"), nullptr);
}

TEST(UnitConversion, LengthPressureAndDensityAgainstIndependentValues) {
    EXPECT_DOUBLE_EQ(Convert(1.0, L"ft", L"m", L"Length"), 0.3048);
    EXPECT_DOUBLE_EQ(Convert(1.0, L"in", L"mm", L"Length"), 25.4);
    EXPECT_NEAR(Convert(1.0, L"psi", L"Pa", L"Stress"), 6894.757293168, 1e-6);
    EXPECT_NEAR(Convert(1.0, L"MPa", L"psi", L"Stress"), 145.037737730, 1e-6);
    EXPECT_NEAR(Convert(1.0, L"N mm^-2", L"MPa", L"Stress"), 1.0, 1e-12);
    EXPECT_NEAR(Convert(1.0, L"kg m^-3", L"g cm^-3", L"Density"), 0.001, 1e-15);
    EXPECT_NEAR(Convert(7850.0, L"kg m^-3", L"t mm^-3", L"Density"), 7.85e-9, 1e-21);
    EXPECT_NEAR(Convert(36.0, L"km h^-1", L"m/s", L"Velocity"), 10.0, 1e-12);
}

TEST(UnitConversion, TemperaturesWithOffsetsBothWays) {
    EXPECT_NEAR(Convert(20.0, L"C", L"K", L"Temperature"), 293.15, 1e-12);
    EXPECT_NEAR(Convert(293.15, L"K", L"C", L"Temperature"), 20.0, 1e-12);
    EXPECT_NEAR(Convert(32.0, L"F", L"C", L"Temperature"), 0.0, 1e-12);
    EXPECT_NEAR(Convert(212.0, L"F", L"C", L"Temperature"), 100.0, 1e-12);
    EXPECT_NEAR(Convert(0.0, L"C", L"F", L"Temperature"), 32.0, 1e-12);
    EXPECT_NEAR(Convert(-40.0, L"F", L"C", L"Temperature"), -40.0, 1e-12);
    EXPECT_NEAR(Convert(0.0, L"F", L"K", L"Temperature"), 255.3722222222222, 1e-9);
    EXPECT_NEAR(Convert(491.67, L"R", L"C", L"Temperature"), 0.0, 1e-12);
}

TEST(UnitConversion, PerDegreeQuantitiesUseFactorsOnly) {
    EXPECT_NEAR(Convert(1.0, L"F^-1", L"K^-1", L"ThermalExpansion"), 1.8, 1e-12);
    EXPECT_NEAR(Convert(1.0, L"C^-1", L"K^-1", L"ThermalExpansion"), 1.0, 1e-12);
    EXPECT_NEAR(Convert(10.0, L"W m^-1 C^-1", L"W m^-1 K^-1", L"ThermalConductivity"), 10.0, 1e-12);
    EXPECT_NEAR(Convert(1.0, L"C m^-1", L"F m^-1", L"TemperatureGradient"), 1.8, 1e-12);
}

TEST(UnitConversion, GravityFactorsOfTheFootAndInchSystems) {
    CUnits* units = CUnits::getInstance();
    double f = 0.0;
    ASSERT_TRUE(units->getTermFactor(L"32.2", f));
    EXPECT_DOUBLE_EQ(f, 1.0 / 32.17404855643044);
    ASSERT_TRUE(units->getTermFactor(L"386.4", f));
    EXPECT_DOUBLE_EQ(f, 1.0 / 386.0885826771653);
    // A slug is g/ft pounds of mass: the foot gravity term cancels it exactly.
    EXPECT_NEAR(Convert(1.0, L"lbf s^2 ft^-1", L"lbm 32.2^-1", L"Mass"), 1.0, 1e-12);
    EXPECT_NEAR(Convert(1.0, L"lbf s^2 in^-1", L"lbm 386.4^-1", L"Mass"), 1.0, 1e-12);
    std::vector<UnitTerm> terms;
    ASSERT_TRUE(units->resolveExpression(L"Mass", L"lbm 386.4^-1", terms));
    EXPECT_EQ(terms.back(), (UnitTerm{L"386.4", -1.0}));
}

TEST(UnitConversion, AmbiguousSymbolsAreSettledByTheQuantityType) {
    // "C" is the coulomb and the degree Celsius, "F" the farad and the degree Fahrenheit.
    EXPECT_NEAR(Convert(1.0, L"C", L"mC", L"ElectricCharge"), 1000.0, 1e-9);
    EXPECT_NEAR(Convert(1.0, L"F", L"uF", L"Capacitance"), 1e6, 1e-6);
    EXPECT_NEAR(Convert(50.0, L"F", L"C", L"Temperature"), 10.0, 1e-12);
    // A term that reads two ways and fits either way is never dropped silently.
    EXPECT_FALSE(Converts(L"m C^0", L"mm", L"Length"));
    EXPECT_FALSE(Converts(L"C", L"K", L"Length"));
}

TEST(UnitConversion, FailuresAndShortCuts) {
    CUnits* units = CUnits::getInstance();
    double out = 0.0;
    EXPECT_TRUE(units->convert(5.0, L"zz", L"zz", L"Length", out));
    EXPECT_EQ(out, 5.0);
    EXPECT_FALSE(units->convert(5.0, L"mmm", L"m", L"Length", out));  // a typing error
    EXPECT_FALSE(units->convert(5.0, L"kg", L"m", L"Length", out));   // wrong dimension
    EXPECT_FALSE(units->convert(5.0, L"m", L"mm", L"NoSuchCategory", out));
    std::vector<double> list;
    EXPECT_FALSE(units->convert(std::vector<double>{1.0}, L"m", L"mm", L"", list));
    EXPECT_TRUE(units->convert(1.0, L"m", L"mm", L"", out));
    EXPECT_DOUBLE_EQ(out, 1000.0);
    EXPECT_FALSE(units->convertWithoutCategory(1.0, L"C", L"K", out));  // reads two ways
    EXPECT_FALSE(units->convertWithoutCategory(1.0, L"m", L"s", out));
}

TEST(UnitConversion, ListsAndMapsConvertEveryEntry) {
    std::vector<double> out;
    ASSERT_TRUE(
        CUnits::getInstance()->convert(std::vector<double>{0.0, 100.0}, L"C", L"F", L"Temperature", out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NEAR(out[0], 32.0, 1e-12);
    EXPECT_NEAR(out[1], 212.0, 1e-12);
    std::map<std::wstring, double> m;
    ASSERT_TRUE(CUnits::getInstance()->convert(std::map<std::wstring, double>{{L"a", 1.0}, {L"b", 2.0}}, L"m",
                                               L"mm", L"Length", m));
    EXPECT_DOUBLE_EQ(m.at(L"a"), 1000.0);
    EXPECT_DOUBLE_EQ(m.at(L"b"), 2000.0);
}

TEST(UnitExpressions, Tokenize) {
    std::vector<UnitTerm> t;
    ASSERT_TRUE(CUnits::tokenize(L"kg m^-3", t));
    EXPECT_EQ(t, (std::vector<UnitTerm>{{L"kg", 1.0}, {L"m", -3.0}}));
    ASSERT_TRUE(CUnits::tokenize(L"m/s", t));
    EXPECT_EQ(t, (std::vector<UnitTerm>{{L"m", 1.0}, {L"s", -1.0}}));
    ASSERT_TRUE(CUnits::tokenize(L"W /\tm^2 K", t));
    EXPECT_EQ(t, (std::vector<UnitTerm>{{L"W", 1.0}, {L"m", -2.0}, {L"K", -1.0}}));
    ASSERT_TRUE(CUnits::tokenize(L"N m s rad^1", t));
    EXPECT_EQ(t.back(), (UnitTerm{L"rad", 1.0}));
    EXPECT_FALSE(CUnits::tokenize(L"m^x", t));
    EXPECT_FALSE(CUnits::tokenize(L"^2", t));
}

TEST(UnitExpressions, ExponentsThatAreNoFiniteNumberAreRefused) {
    // An undefined exponent has undefined dimensions, which compare as fitting anything; the
    // conversion then answered success with an undefined value.
    std::vector<UnitTerm> t;
    EXPECT_FALSE(CUnits::tokenize(L"m^nan", t));
    EXPECT_FALSE(CUnits::tokenize(L"m^inf", t));
    EXPECT_FALSE(CUnits::tokenize(L"m^-infinity", t));
    double out = 0.0;
    EXPECT_FALSE(CUnits::getInstance()->convert(1.0, L"m^nan", L"mm", L"Length", out));
    EXPECT_FALSE(CUnits::getInstance()->convertWithoutCategory(1.0, L"m^nan", L"mm", out));
}

TEST(PropertyValueUnits, ReadsConvertOrRaise) {
    CPropertyValue v;
    v.setValue(1.0e-7, L"Length", L"m");
    double mm = 0.0;
    v.getValue(mm, L"Length", L"mm");
    EXPECT_NEAR(mm, 1.0e-4, 1e-18);
    EXPECT_THROW(v.getValue(mm, L"Length", L"parsec"), CCAEConversionException);
    EXPECT_THROW(v.getValue(mm, L"Mass", L"kg"), CCAEConversionException);
    double raw = 0.0;
    v.getValue(raw, L"Length", L"");
    EXPECT_EQ(raw, 1.0e-7);
}

// Small definition files for the edge cases of symbol registration.
class UnitDefinitionEdges : public ::testing::Test {
  protected:
    void write(const std::string& units, const std::string& categories) {
        folder_ = caerep_test::ScratchFolder("unit-edges");
        caerep_test::WriteFile(folder_ / "Units_qzm.xml", units);
        caerep_test::WriteFile(folder_ / "UnitCategoryBaseDimension.xml", categories);
    }
    std::filesystem::path folder_;
};

TEST_F(UnitDefinitionEdges, PrefixAndAliasRules) {
    write(
        R"(<Units><BaseUnit><U Name="metre" Alias="m"/><U Name="second"/></BaseUnit>
<Prefixes><P Name="kilo" Alias="k"><Factor>1000</Factor></P><P Name="mega"><Factor>1e6</Factor></P></Prefixes>
<DerivedUnit><D Name="minute" Alias="min"><Factor>60</Factor><Offset>0</Offset><Expression V="s"/><AllowedPrefix>yes</AllowedPrefix></D>
<D Name="hertz" Alias="Hz"><Factor>1</Factor><Offset>0</Offset><Expression V="s^-1"/><AllowedPrefix>y</AllowedPrefix></D></DerivedUnit></Units>)",
        R"(<C><Category Name="Length" Expression="m"/><Category Name="Frequency" Expression="second^-1"/></C>)");
    CUnits units(CIdentity(L"Units", L"Units", 0));
    units.initialize();
    ASSERT_TRUE(units.loadDefinitions(folder_));
    // "yes" is not "y": no prefixed minutes.
    EXPECT_NE(units.findSymbol(L"min"), nullptr);
    EXPECT_EQ(units.findSymbol(L"kmin"), nullptr);
    EXPECT_NE(units.findSymbol(L"kHz"), nullptr);
    // A base unit without alias: only its name, with or without a prefix name or alias.
    EXPECT_NE(units.findSymbol(L"second"), nullptr);
    EXPECT_NE(units.findSymbol(L"ksecond"), nullptr);
    EXPECT_EQ(units.findSymbol(L"s"), nullptr);
    // A prefix without alias: only symbols that start with its name.
    EXPECT_NE(units.findSymbol(L"megametre"), nullptr);
    EXPECT_NE(units.findSymbol(L"megam"), nullptr);
    EXPECT_EQ(units.findSymbol(L"Mm"), nullptr);
    double out = 0.0;
    ASSERT_TRUE(units.convert(1.0, L"megam", L"km", L"Length", out));
    EXPECT_DOUBLE_EQ(out, 1000.0);
}

TEST_F(UnitDefinitionEdges, AnExpressionThatIsNoTextFailsTheConversion) {
    // A unit database read from a model takes the value types the model gives.
    write(R"(<Units><BaseUnit><U Name="second" Alias="s"/></BaseUnit><Prefixes/>
<DerivedUnit><D Name="minute" Alias="min"><Factor>60</Factor><Expression V="s"/></D></DerivedUnit></Units>)",
          R"(<C><Category Name="Time" Expression="s"/></C>)");
    CUnits units(CIdentity(L"Units", L"Units", 0));
    units.initialize();
    ASSERT_TRUE(units.loadDefinitions(folder_));
    double out = 0.0;
    ASSERT_TRUE(units.convert(2.0, L"min", L"s", L"Time", out));
    EXPECT_DOUBLE_EQ(out, 120.0);
    CPropertyValue number;
    number.setValue(5);
    units.getChild(L"minute", L"DerivedUnit")->setProperty(L"Expression", number);
    EXPECT_FALSE(units.convert(2.0, L"min", L"s", L"Time", out));
    DimensionVector dims{};
    EXPECT_FALSE(units.getSymbolDimensions(L"min", dims));
}

TEST_F(UnitDefinitionEdges, DuplicateBaseUnitAndMissingFiles) {
    write(R"(<Units><BaseUnit><U Name="metre" Alias="m"/><U Name="metre" Alias="mt"/></BaseUnit></Units>)",
          "<C/>");
    CUnits units(CIdentity(L"Units", L"Units", 0));
    units.initialize();
    EXPECT_THROW(units.loadDefinitions(folder_), CCAEEntryAlreadyExists);
    CUnits empty(CIdentity(L"Units", L"Units", 0));
    empty.initialize();
    EXPECT_FALSE(empty.loadDefinitions(folder_ / "missing"));
    double out = 0.0;
    EXPECT_FALSE(empty.convert(1.0, L"m", L"mm", L"Length", out));
}

TEST_F(UnitDefinitionEdges, AnAdaptorTableThatFailsHalfwayAnswersNothing) {
    folder_ = caerep_test::ScratchFolder("adaptor-edges");
    caerep_test::WriteFile(
        folder_ / "table.xml",
        R"(<T><UnitSystem Id="26" Name="MKS"><Units Category="11">m</Units></UnitSystem>)"
        R"(<UnitSystem Id="27" Name="X"><Units Category="eleven">mm</Units></UnitSystem></T>)");
    CCAEUnitsJXAdaptor adaptor;
    EXPECT_FALSE(adaptor.load(folder_ / "table.xml"));
    EXPECT_FALSE(adaptor.isLoaded());
    std::wstring label;
    EXPECT_FALSE(adaptor.getUnits(11, 26, label));
    EXPECT_EQ(adaptor.getSystemName(26), L"");
}

TEST(UnitsAdaptor, LabelsOfSolverUnitSystems) {
    CCAEUnitsJXAdaptor* adaptor = CCAEUnitsJXAdaptor::getInstance();
    ASSERT_TRUE(adaptor->isLoaded());
    EXPECT_EQ(adaptor->getUnits(26, 11), L"m");
    EXPECT_EQ(adaptor->getUnits(26, 6), L"mm");
    EXPECT_EQ(adaptor->getUnits(26, 7), L"ft");
    EXPECT_EQ(adaptor->getUnits(49, 11), L"K");
    EXPECT_EQ(adaptor->getUnits(49, 11 | CCAEUnitsJXAdaptor::kCelsiusFlag), L"C");
    EXPECT_EQ(adaptor->getUnits(1, 6 | CCAEUnitsJXAdaptor::kDegreesFlag), L"deg");
    EXPECT_EQ(adaptor->getSystemName(11), L"JX_SOLV_MKS");
    std::wstring label;
    EXPECT_FALSE(adaptor->getUnits(99, 11, label));
    EXPECT_FALSE(adaptor->getUnits(26, 12, label));
    // Every label of the table is an expression of the unit database whose size in SI is the
    // size the solver's own unit-system table gives the same slot.
    const UnitSystemTable& solverUnits = GetUnitSystemTable();
    for (int system : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14}) {
        for (auto [category, quantity] : std::vector<std::pair<int, std::wstring>>{{1, L"Angle"},
                                                                                   {2, L"AngularVelocity"},
                                                                                   {3, L"Area"},
                                                                                   {4, L"Acceleration"},
                                                                                   {6, L"Density"},
                                                                                   {50, L"Time"},
                                                                                   {7, L"Energy"},
                                                                                   {8, L"Force"},
                                                                                   {26, L"Length"},
                                                                                   {28, L"Stress"},
                                                                                   {30, L"Mass"},
                                                                                   {36, L"Power"},
                                                                                   {49, L"Temperature"},
                                                                                   {51, L"Velocity"}}) {
            for (int flags : {0, CCAEUnitsJXAdaptor::kDegreesFlag}) {
                std::wstring u = adaptor->getUnits(category, system | flags);
                std::wstring si = adaptor->getUnits(category, 11 | flags);
                const UnitSlot* slot = solverUnits.GetSlot(system | flags, category);
                const UnitSlot* siSlot = solverUnits.GetSlot(11 | flags, category);
                ASSERT_TRUE(slot && siSlot) << system << " " << category;
                double out = 0.0;
                // Temperatures compare their degree sizes (offsets are tested on their own).
                std::wstring from = category == 49 ? (u == L"F" ? L"R" : u) : u;
                ASSERT_TRUE(CUnits::getInstance()->convert(1.0, from, si, quantity, out))
                    << system << " " << category;
                EXPECT_NEAR(out, slot->factor / siSlot->factor, 1e-9 * out) << system << " " << category;
            }
        }
    }
}

}  // namespace
