// The file-backed host material library: what it accepts of a MatML file, how it refuses the
// rest, and the unit systems it answers in.
#include "hostsim/matml_library.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hostsim/matml_host_port.h"
#include "hostsim/matml_reader.h"
#include "tests/deck/materials/material_test_support.h"

namespace {

using testing::HasSubstr;

std::string Doc(const std::string& bulk, const std::string& metadata) {
    return "<?xml version=\"1.0\"?>\n<MatML_Doc>\n<Material><BulkDetails>" + bulk +
           "</BulkDetails></Material>\n<Metadata>" + metadata + "</Metadata>\n</MatML_Doc>\n";
}

const std::string kSteelMetadata =
    "<PropertyDetails id=\"pr1\"><Name>Isotropic Elasticity</Name></PropertyDetails>"
    "<PropertyDetails id=\"pr2\"><Name>Density</Name></PropertyDetails>"
    "<PropertyDetails id=\"pr3\"><Name>Reference Temperature</Name></PropertyDetails>"
    "<PropertyDetails id=\"pr4\"><Name>Thermal Conductivity</Name></PropertyDetails>"
    "<ParameterDetails id=\"t\"><Name>Temperature</Name><Units><Unit><Name>F</Name></Unit></Units>"
    "</ParameterDetails>"
    "<ParameterDetails id=\"e\"><Name>Young's Modulus</Name><Units><Unit><Name>MPa</Name></Unit></Units>"
    "</ParameterDetails>"
    "<ParameterDetails id=\"nu\"><Name>Poisson's Ratio</Name><Unitless/></ParameterDetails>"
    "<ParameterDetails id=\"rho\"><Name>Density</Name><Units><Unit><Name>kg</Name></Unit>"
    "<Unit power=\"-3\"><Name>m</Name></Unit></Units></ParameterDetails>"
    "<ParameterDetails id=\"tref\"><Name>Reference Temperature</Name><Units><Unit><Name>C</Name></Unit>"
    "</Units></ParameterDetails>"
    "<ParameterDetails id=\"k\"><Name>Thermal Conductivity</Name><Units><Unit><Name>W</Name></Unit>"
    "<Unit power=\"-1\"><Name>m</Name></Unit><Unit power=\"-1\"><Name>C</Name></Unit></Units>"
    "</ParameterDetails>";

const std::string kSteelBulk =
    "<Name>Steel</Name>"
    "<PropertyData property=\"pr1\"><ParameterValue parameter=\"t\"><Data>32, 212</Data></ParameterValue>"
    "<ParameterValue parameter=\"e\"><Data>200000, 190000</Data></ParameterValue>"
    "<ParameterValue parameter=\"nu\"><Data>0.3, undefined</Data></ParameterValue></PropertyData>"
    "<PropertyData property=\"pr2\"><ParameterValue parameter=\"rho\"><Data>7850</Data></ParameterValue>"
    "</PropertyData>"
    "<PropertyData property=\"pr3\"><ParameterValue parameter=\"tref\"><Data>22</Data></ParameterValue>"
    "</PropertyData>"
    "<PropertyData property=\"pr4\"><Qualifier name=\"Behavior\">Isotropic</Qualifier>"
    "<ParameterValue parameter=\"k\"><Data>401</Data></ParameterValue></PropertyData>";

class MatmlSteel : public testing::Test {
  protected:
    MatmlSteel()
        : library_(MakeMaterialLibrary(ReadMatmlText(Doc(kSteelBulk, kSteelMetadata), "steel.xml"))) {
        steel_ = library_->GetMaterial(L"Steel");
    }
    double Value(const wchar_t* property, const wchar_t* column, int index, const wchar_t* system,
                 int mode = kHostValueConverted) {
        ComPtr<IHostMaterialData> data = steel_->GetProperty(property)->GetData(property, L"");
        ComPtr<IHostMaterialValue> value = data->GetVariable(column)->GetValue(index, system, mode);
        EXPECT_TRUE(value);
        return value ? value->GetDouble() : -1.0;
    }

    ComPtr<IHostMaterialLibrary> library_;
    ComPtr<IHostMaterial> steel_;
};

TEST_F(MatmlSteel, AnswersMaterialsPropertiesDataAndColumnsByName) {
    ASSERT_TRUE(steel_);
    EXPECT_EQ(library_->GetMaterialCount(), 1);
    EXPECT_FALSE(library_->GetMaterial(L"steel"));
    EXPECT_EQ(steel_->GetName(), L"Steel");
    EXPECT_TRUE(steel_->GetPropertyCollection()->Item(L"Density"));
    EXPECT_FALSE(steel_->GetProperty(L"Specific Heat"));
    ComPtr<IHostMaterialProperty> elasticity = steel_->GetProperty(L"Isotropic Elasticity");
    EXPECT_EQ(elasticity->GetBehavior(), L"");
    ComPtr<IHostMaterialData> data = elasticity->GetData(L"Isotropic Elasticity", L"");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->GetRowCount(), 2);
    EXPECT_FALSE(data->GetVariable(L"Shear Modulus"));
    EXPECT_FALSE(data->GetVariable(L"Young's Modulus")->GetValue(2, L"JX_SOLV_MKS", kHostValueConverted));
    EXPECT_FALSE(data->GetVariable(L"Young's Modulus")->GetValue(-1, L"JX_SOLV_MKS", kHostValueConverted));
    EXPECT_EQ(Value(L"Isotropic Elasticity", L"Poisson's Ratio", 1, L"JX_SOLV_MKS"), kHostUndefinedValue);
}

TEST_F(MatmlSteel, BehaviourSelectsData) {
    ComPtr<IHostMaterialProperty> conductivity = steel_->GetProperty(L"Thermal Conductivity");
    EXPECT_EQ(conductivity->GetBehavior(), L"Isotropic");
    EXPECT_TRUE(conductivity->GetData(L"Thermal Conductivity", L"Isotropic"));
    EXPECT_TRUE(conductivity->GetData(L"Thermal Conductivity", L""));
    EXPECT_FALSE(conductivity->GetData(L"Thermal Conductivity", L"Orthotropic"));
}

TEST_F(MatmlSteel, DataWithoutTemperaturesAnswerOneUndefinedTemperature) {
    ComPtr<IHostMaterialData> density = steel_->GetProperty(L"Density")->GetData(L"Density", L"");
    EXPECT_EQ(density->GetRowCount(), 1);
    ComPtr<IHostMaterialColumn> temperature = density->GetVariable(L"Temperature");
    ASSERT_TRUE(temperature);
    EXPECT_EQ(temperature->GetCount(), 1);
    EXPECT_EQ(temperature->GetValue(0, L"JX_SOLV_BIN", kHostValueConverted)->GetDouble(),
              kHostUndefinedValue);
}

// Expected values worked out from the unit definitions: 1 lbf = 4.4482216152605 N, 1 in = 0.0254 m.
TEST_F(MatmlSteel, ConvertsIntoTheNamedUnitSystem) {
    EXPECT_DOUBLE_EQ(Value(L"Isotropic Elasticity", L"Young's Modulus", 0, L"JX_SOLV_MKS"), 2e11);
    EXPECT_DOUBLE_EQ(Value(L"Isotropic Elasticity", L"Young's Modulus", 0, L"JX_SOLV_NMM"), 2e8);  // kPa
    EXPECT_DOUBLE_EQ(Value(L"Isotropic Elasticity", L"Young's Modulus", 0, L"JX_SOLV_CGS"), 2e12);
    EXPECT_DOUBLE_EQ(Value(L"Isotropic Elasticity", L"Temperature", 1, L"JX_SOLV_MKS"), 373.15);
    EXPECT_DOUBLE_EQ(Value(L"Isotropic Elasticity", L"Temperature", 1, L"JX_SOLV_BIN"), 212.0);
    EXPECT_DOUBLE_EQ(Value(L"Density", L"Density", 0, L"JX_SOLV_NMM"), 7.85e-6);
    EXPECT_NEAR(Value(L"Density", L"Density", 0, L"JX_SOLV_BIN"), 0.000734544492961071, 1e-15);
    EXPECT_NEAR(Value(L"Reference Temperature", L"Reference Temperature", 0, L"JX_SOLV_BFT"), 71.6, 1e-12);
    EXPECT_NEAR(Value(L"Thermal Conductivity", L"Thermal Conductivity", 0, L"JX_SOLV_BIN"), 50.08243676832439,
                1e-12);
    EXPECT_DOUBLE_EQ(Value(L"Thermal Conductivity", L"Thermal Conductivity", 0, L"JX_SOLV_UMKS"),
                     4.01e8);  // pW per um and K
}

TEST_F(MatmlSteel, UnknownSystemsAndStoredModeConvertNothing) {
    EXPECT_EQ(Value(L"Isotropic Elasticity", L"Young's Modulus", 0, L""), 200000.0);
    EXPECT_EQ(Value(L"Isotropic Elasticity", L"Young's Modulus", 0, L"SI"), 200000.0);
    EXPECT_EQ(Value(L"Isotropic Elasticity", L"Young's Modulus", 0, L"JX_SOLV_NMM", kHostValueAsStored),
              200000.0);
    EXPECT_EQ(Value(L"Reference Temperature", L"Reference Temperature", 0, L""), 22.0);
}

TEST_F(MatmlSteel, ObjectsOutliveTheLibraryTheyCameFrom) {
    ComPtr<IHostMaterialColumn> column =
        steel_->GetProperty(L"Density")->GetData(L"Density", L"")->GetVariable(L"Density");
    library_ = nullptr;
    steel_ = nullptr;
    EXPECT_EQ(column->GetValue(0, L"JX_SOLV_MKS", kHostValueConverted)->GetDouble(), 7850.0);
}

TEST(MatmlLibrary, PropertiesHoldSeveralNamedData) {
    const std::string bulk =
        "<Name>C</Name>"
        "<PropertyData property=\"p\"><Qualifier name=\"Data\">Creep Parameter n</Qualifier>"
        "<ParameterValue parameter=\"n\"><Data>5</Data></ParameterValue></PropertyData>"
        "<PropertyData property=\"p\"><Qualifier name=\"Data\">Creep Parameter K</Qualifier>"
        "<ParameterValue parameter=\"K\"><Data></Data></ParameterValue></PropertyData>";
    const std::string metadata =
        "<PropertyDetails id=\"p\"><Name>Chaboche Kinematic Hardening</Name></PropertyDetails>"
        "<ParameterDetails id=\"n\"><Name>Creep Parameter n</Name></ParameterDetails>"
        "<ParameterDetails id=\"K\"><Name>Creep Parameter K</Name></ParameterDetails>";
    ComPtr<IHostMaterial> m =
        MakeMaterialLibrary(ReadMatmlText(Doc(bulk, metadata), "c.xml"))->GetMaterial(L"C");
    ComPtr<IHostMaterialProperty> chaboche = m->GetProperty(L"Chaboche Kinematic Hardening");
    ASSERT_TRUE(chaboche);
    EXPECT_TRUE(chaboche->GetData(L"Creep Parameter n", L""));
    EXPECT_FALSE(chaboche->GetData(L"Chaboche Kinematic Hardening", L""));
    ComPtr<IHostMaterialData> k = chaboche->GetData(L"Creep Parameter K", L"");
    EXPECT_EQ(k->GetVariable(L"Creep Parameter K")->GetValue(0, L"", kHostValueConverted)->GetDouble(),
              kHostUndefinedValue);
}

struct BadFile {
    const char* label;
    std::string text;
    const char* reason;
};

void PrintTo(const BadFile& b, std::ostream* os) { *os << b.label; }

class MatmlRefuses : public testing::TestWithParam<BadFile> {};

TEST_P(MatmlRefuses, WithTheFileTheLineAndTheReason) {
    try {
        ReadMatmlText(GetParam().text, "case/MatML.xml");
        FAIL() << "accepted";
    } catch (const MatmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("case/MatML.xml:"));
        EXPECT_THAT(e.what(), HasSubstr(GetParam().reason));
    }
}

const std::string kOneParameter =
    "<PropertyDetails id=\"p\"><Name>Density</Name></PropertyDetails>"
    "<ParameterDetails id=\"d\"><Name>Density</Name></ParameterDetails>";

INSTANTIATE_TEST_SUITE_P(
    BadInput, MatmlRefuses,
    testing::Values(
        BadFile{"malformed", "<MatML_Doc><Material>", "not well-formed XML"},
        BadFile{"no document", "<Other/>", "no MatML_Doc element"},
        BadFile{"unknown unit",
                Doc("<Name>A</Name>",
                    "<ParameterDetails id=\"x\"><Name>X</Name><Units><Unit><Name>furlong</Name>"
                    "</Unit></Units></ParameterDetails>"),
                "unknown unit \"furlong\""},
        BadFile{"bad power",
                Doc("<Name>A</Name>",
                    "<ParameterDetails id=\"x\"><Name>X</Name><Units><Unit power=\"two\">"
                    "<Name>m</Name></Unit></Units></ParameterDetails>"),
                "unit power \"two\" is not a number"},
        BadFile{"unknown property", Doc("<Name>A</Name><PropertyData property=\"q\"/>", kOneParameter),
                "PropertyData names no PropertyDetails"},
        BadFile{
            "unknown parameter",
            Doc("<Name>A</Name><PropertyData property=\"p\"><ParameterValue parameter=\"z\"><Data>1</Data>"
                "</ParameterValue></PropertyData>",
                kOneParameter),
            "ParameterValue names no ParameterDetails"},
        BadFile{"not a number",
                Doc("<Name>A</Name><PropertyData property=\"p\"><ParameterValue parameter=\"d\"><Data>1, 2x"
                    "</Data></ParameterValue></PropertyData>",
                    kOneParameter),
                "value \"2x\" is not a finite number"},
        BadFile{
            "infinite",
            Doc("<Name>A</Name><PropertyData property=\"p\"><ParameterValue parameter=\"d\"><Data>inf</Data>"
                "</ParameterValue></PropertyData>",
                kOneParameter),
            "value \"inf\" is not a finite number"},
        BadFile{
            "empty entry",
            Doc("<Name>A</Name><PropertyData property=\"p\"><ParameterValue parameter=\"d\"><Data>1,,2</Data>"
                "</ParameterValue></PropertyData>",
                kOneParameter),
            "value \"\" is not a finite number"},
        BadFile{
            "same parameter twice",
            Doc("<Name>A</Name><PropertyData property=\"p\"><ParameterValue parameter=\"d\"><Data>1</Data>"
                "</ParameterValue><ParameterValue parameter=\"d\"><Data>2</Data></ParameterValue>"
                "</PropertyData>",
                kOneParameter),
            "given twice in one PropertyData"},
        BadFile{
            "same data twice",
            Doc("<Name>A</Name><PropertyData property=\"p\"/><PropertyData property=\"p\"/>", kOneParameter),
            "data \"Density\" of property \"Density\" given twice"},
        BadFile{"same material twice",
                "<MatML_Doc><Material><BulkDetails><Name>A</Name></BulkDetails></Material>"
                "<Material><BulkDetails><Name>A</Name></BulkDetails></Material></MatML_Doc>",
                "material \"A\" given twice"},
        BadFile{"no bulk details", "<MatML_Doc><Material/></MatML_Doc>", "Material without BulkDetails"},
        BadFile{"details without id",
                Doc("<Name>A</Name>", "<PropertyDetails><Name>X</Name></PropertyDetails>"),
                "PropertyDetails needs an id and a Name"}));

TEST(MatmlRefusesFile, AMissingFileIsNamed) {
    try {
        LoadMaterialLibrary("/nonexistent/case/MatML.xml");
        FAIL() << "accepted";
    } catch (const MatmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("/nonexistent/case/MatML.xml: cannot be read"));
    }
}

TEST(MatmlRefusesFile, ErrorsNameTheLine) {
    const std::string text =
        "<MatML_Doc>\n<Material>\n<BulkDetails><Name>A</Name>\n"
        "<PropertyData property=\"nowhere\"/>\n</BulkDetails></Material></MatML_Doc>";
    try {
        ReadMatmlText(text, "m.xml");
        FAIL() << "accepted";
    } catch (const MatmlError& e) {
        EXPECT_THAT(e.what(), HasSubstr("m.xml:4:"));
    }
}

// The representation's property reads (one table per property, negative when there is none).
TEST(MatmlHostPort, ReadsOnePropertyAsATable) {
    using materials_test::Column;
    using materials_test::Data;
    using materials_test::MakeMaterial;
    using materials_test::Property;
    using materials_test::SimpleProperty;
    ComPtr<IHostMaterial> m = MakeMaterial(
        L"M", {SimpleProperty(L"Orthotropic Elasticity", {Column(L"Temperature", {290.0, 300.0}),
                                                          Column(L"Young's Modulus X direction", {1.0, 2.0}),
                                                          Column(L"Young's Modulus Y direction", {3.0})}),
               SimpleProperty(L"Density", {Column(L"Density", {kHostUndefinedValue})}),
               Property(L"B-H Curve", {Data(L"Magnetic Flux Density",
                                            {Column(L"Magnetic Flux Density", {0.5, 1.5})}, L"Isotropic")})});
    const auto read = [&](const wchar_t* name, const wchar_t* qualifier, const wchar_t* group,
                          NCAERep::MaterialPropertyTable& out) {
        return ReadHostMaterialProperty(m.Get(), {name, qualifier, group, L""}, out);
    };
    NCAERep::MaterialPropertyTable table;
    // A column of the group's own datum.
    EXPECT_EQ(read(L"Young's Modulus X direction", L"", L"Orthotropic Elasticity", table), 0);
    EXPECT_EQ(table.values, (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(table.temperatures, (std::vector<double>{290.0, 300.0}));
    // One value for two temperatures is no table.
    EXPECT_EQ(read(L"Young's Modulus Y direction", L"", L"Orthotropic Elasticity", table), -1);
    EXPECT_TRUE(table.values.empty());
    // An undefined value is no value.
    EXPECT_EQ(read(L"Density", L"", L"", table), -1);
    // A datum named like its column, chosen by behaviour; no temperatures when it has none.
    EXPECT_EQ(read(L"Magnetic Flux Density", L"Isotropic", L"B-H Curve", table), 0);
    EXPECT_EQ(table.values, (std::vector<double>{0.5, 1.5}));
    EXPECT_TRUE(table.temperatures.empty());
    EXPECT_EQ(read(L"Magnetic Flux Density", L"Orthotropic", L"B-H Curve", table), -1);
    EXPECT_EQ(ReadHostMaterialProperty(nullptr, {L"Density", L"", L"", L""}, table), -1);
}

}  // namespace
