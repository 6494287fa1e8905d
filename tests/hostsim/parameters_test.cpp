// The simulated host's parameters: refused entries by place, the manager's list and settings, value writes.
#include "hostsim/parameters.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostsim/host_sim.h"
#include "hostsim/json_reader.h"

namespace {

namespace fs = std::filesystem;

std::shared_ptr<HostSimStudy> StudyOf(const std::string& parameters) {
    HostSimCase hostCase;
    ReadHostJson("{\"parameters\": " + parameters + "}", "case/host.json", hostCase);
    return std::make_shared<HostSimStudy>(hostCase.parameters);
}

TEST(HostSimParameters, ReaderRefusesWhatItCannotHoldAtItsPlace) {
    const struct {
        const char* json;
        const char* place;
    } cases[] = {
        {R"([{"kind": 0}])", "/parameters/0"},
        {R"([{"name": "p", "kind": 0, "list": {"values": []}}])", "/parameters/0/list"},
        {R"([{"name": "p", "kind": 3, "value": 1}])", "/parameters/0/value"},
        {R"([{"name": "p", "kind": 3, "lowerBound": 1}])", "/parameters/0/lowerBound"},
        {R"([{"name": "p", "kind": 5, "upperBound": 1}])", "/parameters/0/upperBound"},
        {R"([{"name": "p", "kind": 1, "list": {"values": [1], "current": 1}}])",
         "/parameters/0/list/current"},
        {R"([{"name": "p", "kind": 2, "table": {"entries": [[1, true]]}}])",
         "/parameters/0/table/entries/0/1"},
        {R"([{"name": "p", "kind": 3, "integer": {"step": 40000}}])", "/parameters/0/integer/step"},
        {R"([{"name": "p", "kind": 0, "namedProperties": [{"name": "a", "int": 1, "text": "b"}]}])",
         "/parameters/0/namedProperties/0"},
        {R"([{"name": "p", "kind": 0, "namedProperties": [{"name": "a", "int": 1, "entries": []}]}])",
         "/parameters/0/namedProperties/0"},
    };
    for (const auto& c : cases) {
        try {
            StudyOf(c.json);
            ADD_FAILURE() << "accepted " << c.json;
        } catch (const HostCaseError& e) {
            EXPECT_EQ(e.Place(), c.place) << c.json << ": " << e.what();
        }
    }
}

TEST(HostSimParameters, TheCaseListsItsParametersWhileTheHostLives) {
    {
        HostSim host(fs::path(DORVIX_TEST_DATA) / "cases" / "parameters");
        ComPtr<IHostParameterManager> manager;
        ASSERT_EQ(CoCreateInstance(CLSID_HostParameterManager, manager), S_OK);
        ComPtr<IHostParameterCollection> parameters;
        ASSERT_EQ(manager->GetParameters(parameters.ReleaseAndGetAddressOf()), S_OK);
        int count = 0;
        ASSERT_EQ(parameters->GetCount(count), S_OK);
        ASSERT_EQ(count, 3);
        const struct {
            const wchar_t* name;
            int kind;
        } expected[] = {{L"Plate thickness", 0}, {L"Applied force", 1}, {L"Young modulus by temperature", 2}};
        for (int i = 0; i < count; ++i) {
            VARIANT index;
            index.vt = VT_I4;
            index.lVal = i;
            ComPtr<IHostParameter> p;
            ASSERT_EQ(parameters->GetItem(index, p.ReleaseAndGetAddressOf()), S_OK);
            BstrHolder name;
            int kind = -1;
            EXPECT_EQ(p->GetName(name.ReleaseAndGetAddressOf()), S_OK);
            EXPECT_EQ(p->GetKind(kind), S_OK);
            EXPECT_EQ(name.View(), expected[i].name);
            EXPECT_EQ(kind, expected[i].kind);
        }
        VARIANT text;
        text.vt = VT_BSTR;
        text.bstrVal = nullptr;
        ComPtr<IHostParameter> p;
        EXPECT_EQ(parameters->GetItem(text, p.ReleaseAndGetAddressOf()), DISP_E_TYPEMISMATCH);
        BstrHolder setting(L"Mode");
        EXPECT_EQ(manager->SetSetting(setting.Get(), *VariantHolder(2)), S_OK);
        ASSERT_EQ(host.Study()->Settings().size(), 1u);
        EXPECT_EQ(host.Study()->Settings()[0].value->lVal, 2);
    }
    EXPECT_FALSE(IsComponentClassRegistered(CLSID_HostParameterManager));
}

TEST(HostSimParameters, SettingsThatCannotBeKeptAreRefusedAndNotRecorded) {
    std::shared_ptr<HostSimStudy> study = StudyOf("[]");
    ComPtr<IHostParameterManager> manager = CreateHostSimParameterManager(study);
    ASSERT_TRUE(manager);
    VARIANT reference;  // a reference into the caller's memory
    reference.vt = VT_BYREF | VT_R8;
    VARIANT unknownType;
    unknownType.vt = VT_VARIANT;
    const struct {
        VARIANT value;
        HRESULT answer;
    } cases[] = {
        {VARIANT{}, E_INVALIDARG}, {reference, DISP_E_TYPEMISMATCH}, {unknownType, DISP_E_BADVARTYPE}};
    BstrHolder name(L"Mode");
    for (const auto& c : cases) EXPECT_EQ(manager->SetSetting(name.Get(), c.value), c.answer) << c.value.vt;
    EXPECT_TRUE(study->Settings().empty());
}

TEST(HostSimParameters, WritesChangeLaterReads) {
    std::shared_ptr<HostSimStudy> study =
        StudyOf(R"([{"name": "t", "kind": 2, "table": {"entries": [[1]]}}])");
    ComPtr<IHostParameter> p = CreateHostSimParameter(study, 0);
    ComPtr<IUnknown> value;
    ASSERT_EQ(p->GetValueObject(value.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IHostTableValue> table = value.As<IHostTableValue>();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->SetCell(1, 0, *VariantHolder(std::wstring_view(L"x"))), S_OK);  // a new entry
    EXPECT_EQ(table->SetCell(1, 1, *VariantHolder(4)), S_OK);                        // a new cell
    EXPECT_EQ(table->SetCell(3, 0, *VariantHolder(4)), E_INVALIDARG);
    int count = 0;
    EXPECT_EQ(table->GetEntryCount(-1, count), S_OK);
    EXPECT_EQ(count, 2);
    VariantHolder cell;
    EXPECT_EQ(table->GetCell(1, -1, cell.ReleaseAndGet()), S_OK);
    EXPECT_EQ(cell.Type(), VT_R8);
    EXPECT_EQ(cell->dblVal, 4.0);

    // The value object answers the kind the parameter has when it is asked.
    EXPECT_EQ(p->SetKind(kHostParameterInteger), S_OK);
    ASSERT_EQ(p->GetValueObject(value.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_FALSE(value.As<IHostTableValue>());
    EXPECT_TRUE(value.As<IHostIntegerValue>());

    ComPtr<IHostNamedPropertyCollection> properties;
    ASSERT_EQ(p.As<IHostNamedPropertyOwner>()->GetNamedProperties(properties.ReleaseAndGetAddressOf()), S_OK);
    BstrHolder key(L"Disabled");
    ComPtr<IHostNamedProperty> item;
    EXPECT_EQ(properties->Find(kHostPlainPropertyValue, key.Get(), item.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_EQ(properties->Add(key.Get(), *VariantHolder(true), nullptr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(properties->Add(key.Get(), *VariantHolder(1), nullptr), S_OK);
    EXPECT_EQ(properties->Find(kHostPlainPropertyValue, key.Get(), item.ReleaseAndGetAddressOf()), S_OK);
    HostSimParameter copy;
    ASSERT_TRUE(study->Get(0, copy));
    ASSERT_EQ(copy.namedProperties.size(), 1u);
    EXPECT_EQ(std::get<std::int32_t>(copy.namedProperties[0].entries.at(0).value), 1);
}

}  // namespace
