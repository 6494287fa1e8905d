// Shared pieces of the material-section tests: a deck written into a private temporary folder
// and read back without its header, the case libraries and a host provider answering from one,
// a body table of the tests' own, and the golden-section comparison.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "caerep/core/host_ports.h"
#include "deck/deck_file.h"
#include "deck/materials/material_body_table.h"
#include "host/material.h"
#include "hostsim/matml_model.h"
#include "tests/deck/deck_test_support.h"

namespace materials_test {

using decktest::CaseFolder;

// A deck opened in a folder of its own; the deck counters start again from 0.
class CapturedDeck {
  public:
    CapturedDeck();
    ~CapturedDeck();
    DorvixDeckFile& Deck() { return *deck_; }
    // Closes the deck and gives what was written after the deck header.
    std::string Text();

  private:
    std::filesystem::path previousFolder_;
    std::filesystem::path folder_;
    std::unique_ptr<decktest::FakeOwner> owner_;
    std::unique_ptr<DorvixDeckFile> deck_;
    std::string text_;
    bool closed_ = false;
};

struct TestBody {
    int id = 0;
    int materialNumber = 0;
    NCAERep::CCAERepBase* attributes = nullptr;
};

class TestBodyTable : public MaterialBodyTable {
  public:
    int analysisKind = 1;
    int unitSystem = 11;  // JX_SOLV_MKS
    bool transient = false;
    std::vector<TestBody> bodies;

    int GetBodyCount() const override { return static_cast<int>(bodies.size()); }
    int GetBodyId(int index) const override;
    int GetBodyMaterialNumber(int index) const override;
    NCAERep::CCAERepBase* GetBodyAttributes(int bodyId) const override;
    int GetAnalysisKind() const override { return analysisKind; }
    int GetUnitSystem() const override { return unitSystem; }
    bool IsTransient() const override { return transient; }
};

// The library of tests/data/cases/<caseName>/MatML.xml, read once per case.
ComPtr<IHostMaterialLibrary> CaseLibrary(const std::string& caseName);
// A material of a case library; the test fails when it is absent.
ComPtr<IHostMaterial> CaseMaterial(const std::string& caseName, const std::wstring& materialName);

// The host's answers for materials, from a case library; nothing else is asked here.
class LibraryProvider : public NCAERep::IHostModelProvider {
  public:
    explicit LibraryProvider(ComPtr<IHostMaterialLibrary> library) : library_(std::move(library)) {}
    HRESULT getMesh(const NCAERep::CMeshRep&, ComPtr<IUnknown>&) override { return E_NOTIMPL; }
    HRESULT getGeometry(const NCAERep::CGeometryRep&, ComPtr<IUnknown>&) override { return E_NOTIMPL; }
    HRESULT findMaterial(const NCAERep::CMaterialLibraryRep&, const std::wstring& name,
                         ComPtr<IUnknown>& out) override;
    int readMaterialProperty(IUnknown* material, const NCAERep::MaterialPropertyRequest& request,
                             NCAERep::MaterialPropertyTable& out) override;
    bool materialHasModel(IUnknown* material, const std::wstring& model) override;
    int importLoadData(NCAERep::NBC::CExternalLoadRep&, int) override { return -1; }

  private:
    ComPtr<IHostMaterialLibrary> library_;
};

// Materials built in code: columns without unit, so values arrive as given; a column named
// "Temperature" is in kelvin.
MatmlColumn Column(const std::wstring& name, std::vector<double> values);
MatmlData Data(const std::wstring& name, std::vector<MatmlColumn> columns,
               const std::wstring& behavior = L"");
MatmlProperty Property(const std::wstring& name, std::vector<MatmlData> data);
// A property holding one datum of its own name.
MatmlProperty SimpleProperty(const std::wstring& name, std::vector<MatmlColumn> columns,
                             const std::wstring& behavior = L"");
ComPtr<IHostMaterial> MakeMaterial(const std::wstring& name, std::vector<MatmlProperty> properties);

// Compares a written section with tests/data/cases/<caseName>/golden/<fileName>
// (tests/golden_file.h).
void ExpectGolden(const std::string& caseName, const std::string& fileName, const std::string& text);

}  // namespace materials_test
