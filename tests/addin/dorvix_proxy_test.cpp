// The solver proxy as the host and the add-in use it: created by class id, named, asked which
// analyses the solver accepts, and made to create, hand out and drop settings objects.

#include "addin/dorvix_proxy.h"

#include <gtest/gtest.h>

#include "addin/dorvix_analysis_settings_interface.h"
#include "platform/creation_registry.h"

namespace {

class ProxyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDorvixProxyClass(), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DorvixProxy, proxy_, CLSCTX_SERVER), S_OK);
        ASSERT_TRUE(proxy_);
        objects_ = proxy_.As<IJXObjectsAddinProvider>();
        ASSERT_TRUE(objects_);
    }
    void TearDown() override { (void)UnregisterComponentClass(CLSID_DorvixProxy); }

    ComPtr<IDorvixProxy> proxy_;
    ComPtr<IJXObjectsAddinProvider> objects_;
};

}  // namespace

TEST_F(ProxyTest, AnswersEveryInterfaceAndKeepsTheModuleLoadedWhileItLives) {
    EXPECT_TRUE(proxy_.As<IXenSolverProxy>());
    EXPECT_TRUE(proxy_.As<ISolverValidation>());
    EXPECT_TRUE(proxy_.As<ISolverDatabase>());
    EXPECT_TRUE(proxy_.As<IMarshal>());
    const long before = ModuleLockCount();
    proxy_ = nullptr;
    objects_ = nullptr;
    EXPECT_EQ(ModuleLockCount(), before - 1);
}

TEST_F(ProxyTest, NameAndSolverAreCopiesAndNullClearsThem) {
    using Get = HRESULT (IXenSolverProxy::*)(BSTR*);
    using Put = HRESULT (IXenSolverProxy::*)(BSTR);
    const ComPtr<IXenSolverProxy> host = proxy_.As<IXenSolverProxy>();
    for (const auto& [get, put] :
         {std::pair<Get, Put>{&IXenSolverProxy::get_Name, &IXenSolverProxy::put_Name},
          std::pair<Get, Put>{&IXenSolverProxy::get_Solver, &IXenSolverProxy::put_Solver}}) {
        EXPECT_EQ(((*host).*get)(nullptr), E_POINTER);
        BstrHolder unset;
        EXPECT_EQ(((*host).*get)(unset.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_TRUE(unset.IsNull());

        BstrHolder value(L"Dorvix_Solver");
        EXPECT_EQ(((*host).*put)(value.Get()), S_OK);
        value = BstrHolder(L"changed afterwards");
        BstrHolder first;
        BstrHolder second;
        EXPECT_EQ(((*host).*get)(first.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_EQ(((*host).*get)(second.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_EQ(first.View(), L"Dorvix_Solver");
        EXPECT_NE(first.Get(), second.Get());

        EXPECT_EQ(((*host).*put)(nullptr), S_OK);
        EXPECT_EQ(((*host).*get)(first.ReleaseAndGetAddressOf()), S_OK);
        EXPECT_TRUE(first.IsNull());
    }
    BstrHolder progId(L"DorvixSolver.JXDorvixSolver.120");
    EXPECT_EQ(proxy_->put_Solver(progId.Get()), S_OK);
    BstrHolder name;
    EXPECT_EQ(proxy_->get_Name(name.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(name.IsNull());
}

TEST_F(ProxyTest, AcceptsMechanicalStaticTransientBucklingModalAndThermalStaticTransient) {
    const ComPtr<ISolverValidation> validation = proxy_.As<ISolverValidation>();
    struct Row {
        int physics;
        int analysis;
        VARIANT_BOOL valid;
    };
    const Row rows[] = {
        {1, 0, VARIANT_TRUE},  {1, 1, VARIANT_FALSE}, {1, 2, VARIANT_TRUE},  {1, 3, VARIANT_FALSE},
        {1, 4, VARIANT_TRUE},  {1, 5, VARIANT_TRUE},  {2, 0, VARIANT_TRUE},  {2, 1, VARIANT_FALSE},
        {2, 2, VARIANT_TRUE},  {2, 4, VARIANT_FALSE}, {2, 5, VARIANT_FALSE}, {0, 0, VARIANT_FALSE},
        {3, 2, VARIANT_FALSE},
    };
    for (const Row& row : rows) {
        VARIANT_BOOL valid = 7;
        EXPECT_EQ(validation->CheckSolverValidity(static_cast<JXPhysicsType>(row.physics),
                                                  static_cast<JXSimulationType>(row.analysis), &valid),
                  S_OK);
        EXPECT_EQ(valid, row.valid) << row.physics << " " << row.analysis;
    }
    EXPECT_EQ(proxy_->CheckSolverValidity(kPT_Mechanical, kSIMULATION_STATIC, nullptr), E_POINTER);
}

TEST_F(ProxyTest, OnlyAnalysisSettingsObjectsAreSupported) {
    VARIANT_BOOL supported = VARIANT_FALSE;
    EXPECT_EQ(objects_->IsObjectTypeSupported(kHostAnalysisSettingsType, &supported), S_OK);
    EXPECT_EQ(supported, VARIANT_TRUE);
    EXPECT_EQ(objects_->IsObjectTypeSupported(428, &supported), S_OK);
    EXPECT_EQ(supported, VARIANT_FALSE);
    EXPECT_EQ(objects_->IsObjectTypeSupported(kHostAnalysisSettingsType, nullptr), E_POINTER);

    EXPECT_EQ(objects_->CreateObject(428, 20), E_FAIL);
    EXPECT_EQ(objects_->DeleteObject(428, 20), E_FAIL);
    IUnknown* object = reinterpret_cast<IUnknown*>(&supported);
    EXPECT_EQ(objects_->GetObject(428, 20, &object), E_FAIL);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(objects_->GetObject(kHostAnalysisSettingsType, 20, nullptr), E_POINTER);
}

TEST_F(ProxyTest, AFailedCreationHoldsNothing) {
    const ScopedComponentClass refusing(CLSID_DorvixAnalysisSettings,
                                        [](IUnknown*, REFIID, void**) { return E_OUTOFMEMORY; });
    EXPECT_EQ(objects_->CreateObject(kHostAnalysisSettingsType, 20), E_OUTOFMEMORY);
    ComPtr<IUnknown> object;
    EXPECT_EQ(objects_->GetObject(kHostAnalysisSettingsType, 20, object.ReleaseAndGetAddressOf()), E_FAIL);
    EXPECT_FALSE(object);
    EXPECT_EQ(objects_->DeleteObject(kHostAnalysisSettingsType, 20), S_OK);
    EXPECT_EQ(objects_->ClearObjects(), S_OK);
}
