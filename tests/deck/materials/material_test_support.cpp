// A deck captured in its own folder, the tests' body table, case libraries and materials built in code.
#include "tests/deck/materials/material_test_support.h"

#include <gtest/gtest.h>

#include <map>

#include "deck/deck_counters.h"
#include "hostsim/matml_host_port.h"
#include "hostsim/matml_library.h"
#include "platform/files.h"
#include "tests/golden_file.h"

namespace materials_test {

namespace {

// The deck header ends with the line that dates the deck.
std::string AfterHeader(const std::string& deck) {
    const std::string marker = "! DORVIX job created on";
    const std::size_t at = deck.find(marker);
    if (at == std::string::npos) return deck;
    const std::size_t end = deck.find('\n', at);
    return end == std::string::npos ? std::string() : deck.substr(end + 1);
}

// The stand-in feeder with every answer at its default, sending the deck to folder.
std::unique_ptr<decktest::FakeOwner> OwnerWritingTo(const std::filesystem::path& folder) {
    auto owner = std::make_unique<decktest::FakeOwner>();
    owner->options["XENRADir"] = folder.string();
    return owner;
}

}  // namespace

CapturedDeck::CapturedDeck()
    : previousFolder_(platform::CurrentFolder()),
      folder_(platform::CreateUniqueTemporaryFolder("dorvix-materials-")),
      owner_(OwnerWritingTo(folder_)),
      deck_(std::make_unique<DorvixDeckFile>(owner_.get())) {
    ResetDeckCounters();
    EXPECT_EQ(deck_->Open("dorvix.dat"), 0);
}

CapturedDeck::~CapturedDeck() {
    deck_.reset();
    platform::SetCurrentFolder(previousFolder_);
    platform::DeleteFolderTree(folder_);
}

std::string CapturedDeck::Text() {
    if (!closed_) {
        deck_->CloseDeck();
        text_ = AfterHeader(decktest::ReadText(folder_ / "dorvix.dat"));
        closed_ = true;
    }
    return text_;
}

int TestBodyTable::GetBodyId(int index) const {
    return index >= 0 && index < GetBodyCount() ? bodies[static_cast<std::size_t>(index)].id : 0;
}

int TestBodyTable::GetBodyMaterialNumber(int index) const {
    return index >= 0 && index < GetBodyCount() ? bodies[static_cast<std::size_t>(index)].materialNumber : 0;
}

NCAERep::CCAERepBase* TestBodyTable::GetBodyAttributes(int bodyId) const {
    for (const TestBody& body : bodies)
        if (body.id == bodyId) return body.attributes;
    return nullptr;
}

ComPtr<IHostMaterialLibrary> CaseLibrary(const std::string& caseName) {
    static std::map<std::string, ComPtr<IHostMaterialLibrary>> libraries;
    ComPtr<IHostMaterialLibrary>& library = libraries[caseName];
    if (!library) library = LoadMaterialLibrary(CaseFolder(caseName) / "MatML.xml");
    return library;
}

ComPtr<IHostMaterial> CaseMaterial(const std::string& caseName, const std::wstring& materialName) {
    ComPtr<IHostMaterial> material = CaseLibrary(caseName)->GetMaterial(materialName);
    EXPECT_TRUE(material) << "no material of that name in " << caseName;
    return material;
}

HRESULT LibraryProvider::findMaterial(const NCAERep::CMaterialLibraryRep&, const std::wstring& name,
                                      ComPtr<IUnknown>& out) {
    return FindHostLibraryMaterial(library_.Get(), name, out);
}

int LibraryProvider::readMaterialProperty(IUnknown* material, const NCAERep::MaterialPropertyRequest& request,
                                          NCAERep::MaterialPropertyTable& out) {
    return ReadHostMaterialProperty(material, request, out);
}

bool LibraryProvider::materialHasModel(IUnknown* material, const std::wstring& model) {
    return HostMaterialHasModel(material, model);
}

MatmlColumn Column(const std::wstring& name, std::vector<double> values) {
    MatmlColumn column{name, {}, std::move(values)};
    if (name == L"Temperature") column.unit.MultiplyBy("K", 1.0);
    column.unit.Finish();
    return column;
}

MatmlData Data(const std::wstring& name, std::vector<MatmlColumn> columns, const std::wstring& behavior) {
    return MatmlData{name, behavior, std::move(columns)};
}

MatmlProperty Property(const std::wstring& name, std::vector<MatmlData> data) {
    return MatmlProperty{name, std::move(data)};
}

MatmlProperty SimpleProperty(const std::wstring& name, std::vector<MatmlColumn> columns,
                             const std::wstring& behavior) {
    return Property(name, {Data(name, std::move(columns), behavior)});
}

ComPtr<IHostMaterial> MakeMaterial(const std::wstring& name, std::vector<MatmlProperty> properties) {
    MatmlLibraryData library;
    library.materials.push_back(MatmlMaterial{name, std::move(properties)});
    return MakeMaterialLibrary(std::move(library))->GetMaterial(name);
}

void ExpectGolden(const std::string& caseName, const std::string& fileName, const std::string& text) {
    golden::ExpectText(CaseFolder(caseName) / "golden" / fileName, text);
}

}  // namespace materials_test
