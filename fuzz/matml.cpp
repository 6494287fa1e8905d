// The case's material library (MatML.xml). A file the reader refuses must raise MatmlError; an
// accepted one is walked through the host material objects in every unit system, as the
// material section asks for it.
#include <string>

#include "fuzz_support.h"
#include "host/material.h"
#include "hostsim/matml_library.h"
#include "hostsim/matml_reader.h"

namespace {

void ReadColumn(IHostMaterialColumn& column) {
    const int count = column.GetCount();
    for (const wchar_t* system : kHostUnitSystemNames) {
        if (!system) continue;
        for (int i = 0; i < count; ++i)
            for (int mode : {kHostValueConverted, kHostValueAsStored})
                if (ComPtr<IHostMaterialValue> value = column.GetValue(i, system, mode)) value->GetDouble();
    }
    if (column.GetValue(count, L"MKS_STANDARD", kHostValueConverted) || column.GetValue(-1, L"", 0))
        fuzz::Broken("a column answered a value outside it");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MatmlLibraryData read;
    try {
        read = ReadMatmlText(fuzz::AsText(data, size), "MatML.xml");
    } catch (const MatmlError&) {
        return 0;
    }
    const MatmlLibraryData materials = read;
    ComPtr<IHostMaterialLibrary> library = MakeMaterialLibrary(std::move(read));
    for (const MatmlMaterial& m : materials.materials) {
        ComPtr<IHostMaterial> material = library->GetMaterial(m.name);
        if (!material) fuzz::Broken("a material read is not in the library");
        for (const MatmlProperty& p : m.properties) {
            ComPtr<IHostMaterialProperty> property = material->GetProperty(p.name);
            if (!property) continue;  // an earlier property of the same name answers
            property->GetBehavior();
            for (const MatmlData& d : p.data) {
                ComPtr<IHostMaterialData> datum = property->GetData(d.name, d.behavior);
                if (!datum) continue;
                datum->GetRowCount();
                for (const MatmlColumn& c : d.columns)
                    if (ComPtr<IHostMaterialColumn> column = datum->GetVariable(c.name)) ReadColumn(*column);
            }
        }
    }
    return 0;
}
