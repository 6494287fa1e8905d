// Unit labels and conversions of the add-in services as the host's units service changes, and without one.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/com_object.h"
#include "platform/creation_registry.h"
#include "runtime/addin_services.h"

namespace {

// What the host's units service answers; the test changes it between calls.
struct UnitsState {
    int currentSystem = 3;
    std::map<int, int> solverSystems{{3, 6}, {5, 8}};
    VARIANT_BOOL degrees = VARIANT_TRUE;
    VARIANT_BOOL rpm = VARIANT_FALSE;
    std::vector<int> itemRequests;  // the VT_I4 index of every converter asked for
    std::vector<int> otherSystems;  // the other side of every conversion
};
UnitsState g_units;

// Scales by (its system + 1) so a converter of the wrong system shows in the result.
class Converter : public ComObject<Converter, IHostUnitConverter> {
  public:
    explicit Converter(int system) : system_(system) {}
    HRESULT GetUnitLabel(int quantity, std::wstring& label) override {
        label = L"u" + std::to_wstring(system_) + L"q" + std::to_wstring(quantity);
        return S_OK;
    }
    HRESULT ConvertToSystem(double value, int, int other, double& out) override {
        g_units.otherSystems.push_back(other);
        out = value * (system_ + 1);
        return S_OK;
    }
    HRESULT ConvertFromSystem(double value, int, int other, double& out) override {
        g_units.otherSystems.push_back(other);
        out = value / (system_ + 1);
        return S_OK;
    }

  private:
    int system_;
};

class UnitSystems : public ComObject<UnitSystems, IHostUnitSystems> {
  public:
    HRESULT GetCount(int& count) override {
        count = 10;
        return S_OK;
    }
    HRESULT Item(const VARIANT& index, IHostUnitConverter** converter) override {
        if (index.vt != VT_I4) return E_INVALIDARG;
        g_units.itemRequests.push_back(index.lVal);
        ComPtr<Converter> c = MakeComObject<Converter>(index.lVal - 1);
        *converter = c.Detach();
        return S_OK;
    }
};

class UnitsService : public ComObject<UnitsService, IHostUnitsService> {
  public:
    HRESULT GetCurrentUnitSystem(int& id) override {
        id = g_units.currentSystem;
        return S_OK;
    }
    HRESULT TranslateUnitSystem(int hostId, int& solverSystem) override {
        auto it = g_units.solverSystems.find(hostId);
        if (it == g_units.solverSystems.end()) return S_FALSE;
        solverSystem = it->second;
        return S_OK;
    }
    HRESULT GetAnglesInDegrees(VARIANT_BOOL& degrees) override {
        degrees = g_units.degrees;
        return S_OK;
    }
    HRESULT GetRotationalVelocityInRpm(VARIANT_BOOL& rpm) override {
        rpm = g_units.rpm;
        return S_OK;
    }
    HRESULT GetUnitSystems(IHostUnitSystems** systems) override {
        *systems = MakeComObject<UnitSystems>().Detach();
        return S_OK;
    }
};

std::wstring Label(AddinServices& services, int quantity) {
    BSTR label = nullptr;
    EXPECT_EQ(services.GetUnitLabel(quantity, &label), S_OK) << quantity;
    std::wstring text(BstrView(label));
    SysFreeString(label);
    return text;
}

// No string table is installed here, so the labels taken from texts come back as their keys.
class AddinServicesUnitsTest : public ::testing::Test {
  protected:
    void SetUp() override { g_units = UnitsState(); }
    void TearDown() override { AddinServices::ReleaseInstance(); }
    ScopedComponentClass service_{CLSID_HostUnitsService, CreatorFor<UnitsService>()};
};

TEST_F(AddinServicesUnitsTest, ConverterFollowsTheHostsUnitSystem) {
    AddinServices& services = AddinServices::GetInstance();
    EXPECT_EQ(services.GetStoredUnitSystemId(), 3);
    EXPECT_EQ(g_units.itemRequests, std::vector<int>{4});  // items count from 1
    EXPECT_EQ(services.GetUnitSystem(), 6);
    EXPECT_EQ(g_units.itemRequests.size(), 1u);  // unchanged system: the converter is kept

    double out = 0.0;
    EXPECT_EQ(services.ConvertToUnitSystem(2.0, 26, out), S_OK);
    EXPECT_DOUBLE_EQ(out, 8.0);
    g_units.currentSystem = 5;
    EXPECT_EQ(services.ConvertFromUnitSystem(12.0, 26, out), S_OK);
    EXPECT_DOUBLE_EQ(out, 2.0);
    EXPECT_EQ(g_units.itemRequests, (std::vector<int>{4, 6}));
    EXPECT_EQ(g_units.otherSystems, (std::vector<int>{11, 11}));
    EXPECT_EQ(services.GetUnitSystem(), 8);

    g_units.currentSystem = 7;  // the host cannot translate this one
    EXPECT_EQ(services.GetUnitSystem(), -1);
    EXPECT_EQ(services.GetStoredUnitSystemId(), 7);
}

TEST_F(AddinServicesUnitsTest, LabelsHonourTheDisplayFlags) {
    AddinServices& services = AddinServices::GetInstance();
    EXPECT_EQ(Label(services, 1), L"ID_Degrees");
    EXPECT_EQ(Label(services, 2), L"u3q2");
    EXPECT_EQ(Label(services, 26), L"u3q26");
    EXPECT_EQ(Label(services, -2), L"");
    g_units.degrees = VARIANT_FALSE;
    g_units.rpm = VARIANT_TRUE;
    g_units.currentSystem = 5;
    EXPECT_EQ(Label(services, 1), L"u5q1");
    EXPECT_EQ(Label(services, 2), L"ID_RPM");
    EXPECT_EQ(services.GetUnitLabel(1, nullptr), E_POINTER);
}

TEST(AddinServicesWithoutHost, DefaultsWhenTheHostHasNoUnitsService) {
    ASSERT_FALSE(IsComponentClassRegistered(CLSID_HostUnitsService));
    AddinServices& services = AddinServices::GetInstance();
    EXPECT_FALSE(services.HasStringTable());
    EXPECT_EQ(services.GetUnitSystem(), -1);
    EXPECT_EQ(Label(services, 1), L"ID_Degrees");  // angles count as degrees
    EXPECT_EQ(Label(services, 2), L"");
    double out = 0.0;
    EXPECT_EQ(services.ConvertToUnitSystem(3.0, 26, out), E_FAIL);
    EXPECT_EQ(out, 3.0);

    // The significant digits shape the displayed value; a later instance starts again at 5.
    BSTR text = nullptr;
    EXPECT_EQ(services.FormatValue(1234.5678, &text), S_OK);
    EXPECT_EQ(BstrView(text), L"1234.6");
    SysFreeString(text);
    services.SetSignificantDigits(3);
    EXPECT_EQ(services.FormatValue(0.000123456, &text), S_OK);
    EXPECT_EQ(BstrView(text), L"0.000123");
    SysFreeString(text);
    EXPECT_EQ(services.FormatValue(123456.0, &text), S_OK);
    EXPECT_EQ(BstrView(text), L"1.23e+005");  // three-digit exponent, as every number text
    SysFreeString(text);
    EXPECT_EQ(services.FormatValue(1.0, nullptr), E_POINTER);

    AddinServices::ReleaseInstance();
    EXPECT_FALSE(AddinServices::HasInstance());
    EXPECT_EQ(AddinServices::GetInstance().GetSignificantDigits(), 5);
    AddinServices::ReleaseInstance();
}

}  // namespace
