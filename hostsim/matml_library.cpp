// Library, material, property, data, column and value objects over a read library, converting on request.
#include "hostsim/matml_library.h"

#include <memory>

#include "hostsim/matml_reader.h"
#include "platform/com_object.h"

namespace {

// Every object keeps the whole library alive, so that a column handed out outlives the
// material it came from as a host object would.
using LibraryHandle = std::shared_ptr<const MatmlLibraryData>;

class MatmlValue : public ComObject<MatmlValue, IHostMaterialValue> {
  public:
    explicit MatmlValue(double value) : value_(value) {}
    double GetDouble() override { return value_; }

  private:
    double value_;
};

class MatmlColumnObject : public ComObject<MatmlColumnObject, IHostMaterialColumn> {
  public:
    MatmlColumnObject(LibraryHandle library, const MatmlColumn* column)
        : library_(std::move(library)), column_(column) {}

    int GetCount() override { return static_cast<int>(column_->values.size()); }

    ComPtr<IHostMaterialValue> GetValue(int index, std::wstring_view unitSystemName, int mode) override {
        if (index < 0 || index >= GetCount()) return nullptr;
        double value = column_->values[static_cast<std::size_t>(index)];
        // The undefined value is a marker, not a quantity: it is never converted. A name that
        // is no unit system converts nothing.
        const int system = HostUnitSystemCode(unitSystemName);
        if (value != kHostUndefinedValue && mode == kHostValueConverted && system >= 0)
            value = MatmlFromSi(MatmlToSi(value, column_->unit), column_->unit, system);
        return MakeComObject<MatmlValue>(value);
    }

  private:
    LibraryHandle library_;
    const MatmlColumn* column_;
};

// A datum that is not temperature dependent still answers a temperature column, holding
// one undefined value, as the host does.
const MatmlColumn& UndefinedTemperatureColumn() {
    static const MatmlColumn column = [] {
        MatmlColumn c{L"Temperature", {}, {kHostUndefinedValue}};
        c.unit.MultiplyBy("K", 1.0);
        c.unit.Finish();
        return c;
    }();
    return column;
}

class MatmlDataObject : public ComObject<MatmlDataObject, IHostMaterialData> {
  public:
    MatmlDataObject(LibraryHandle library, const MatmlData* data)
        : library_(std::move(library)), data_(data) {}

    ComPtr<IHostMaterialColumn> GetVariable(std::wstring_view columnName) override {
        const MatmlColumn* column = data_->FindColumn(columnName);
        if (!column && columnName == L"Temperature") column = &UndefinedTemperatureColumn();
        if (!column) return nullptr;
        return MakeComObject<MatmlColumnObject>(library_, column);
    }
    int GetRowCount() override { return data_->RowCount(); }

  private:
    LibraryHandle library_;
    const MatmlData* data_;
};

class MatmlPropertyObject : public ComObject<MatmlPropertyObject, IHostMaterialProperty> {
  public:
    MatmlPropertyObject(LibraryHandle library, const MatmlProperty* property)
        : library_(std::move(library)), property_(property) {}

    std::wstring GetBehavior() override { return property_->Behavior(); }
    ComPtr<IHostMaterialData> GetData(std::wstring_view dataName, std::wstring_view behavior) override {
        const MatmlData* data = property_->FindData(dataName, behavior);
        if (!data) return nullptr;
        return MakeComObject<MatmlDataObject>(library_, data);
    }

  private:
    LibraryHandle library_;
    const MatmlProperty* property_;
};

ComPtr<IHostMaterialProperty> MakeProperty(const LibraryHandle& library, const MatmlMaterial* material,
                                           std::wstring_view name) {
    const MatmlProperty* property = material->FindProperty(name);
    if (!property) return nullptr;
    return MakeComObject<MatmlPropertyObject>(library, property);
}

class MatmlPropertyCollection : public ComObject<MatmlPropertyCollection, IHostMaterialPropertyCollection> {
  public:
    MatmlPropertyCollection(LibraryHandle library, const MatmlMaterial* material)
        : library_(std::move(library)), material_(material) {}

    ComPtr<IHostMaterialProperty> Item(std::wstring_view name) override {
        return MakeProperty(library_, material_, name);
    }

  private:
    LibraryHandle library_;
    const MatmlMaterial* material_;
};

class MatmlMaterialObject : public ComObject<MatmlMaterialObject, IHostMaterial> {
  public:
    MatmlMaterialObject(LibraryHandle library, const MatmlMaterial* material)
        : library_(std::move(library)), material_(material) {}

    std::wstring GetName() override { return material_->name; }
    ComPtr<IHostMaterialPropertyCollection> GetPropertyCollection() override {
        return MakeComObject<MatmlPropertyCollection>(library_, material_);
    }
    ComPtr<IHostMaterialProperty> GetProperty(std::wstring_view propertyName) override {
        return MakeProperty(library_, material_, propertyName);
    }

  private:
    LibraryHandle library_;
    const MatmlMaterial* material_;
};

class MatmlLibraryObject : public ComObject<MatmlLibraryObject, IHostMaterialLibrary> {
  public:
    explicit MatmlLibraryObject(LibraryHandle library) : library_(std::move(library)) {}

    ComPtr<IHostMaterial> GetMaterial(std::wstring_view name) override {
        const MatmlMaterial* material = library_->FindMaterial(name);
        if (!material) return nullptr;
        return MakeComObject<MatmlMaterialObject>(library_, material);
    }
    int GetMaterialCount() override { return static_cast<int>(library_->materials.size()); }

  private:
    LibraryHandle library_;
};

}  // namespace

ComPtr<IHostMaterialLibrary> MakeMaterialLibrary(MatmlLibraryData data) {
    return MakeComObject<MatmlLibraryObject>(std::make_shared<const MatmlLibraryData>(std::move(data)));
}

ComPtr<IHostMaterialLibrary> LoadMaterialLibrary(const std::filesystem::path& path) {
    return MakeMaterialLibrary(ReadMatmlFile(path));
}
