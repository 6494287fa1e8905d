// The columns of one datum as the material writers read them: the temperatures and the value
// columns asked for, all of one length.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deck/materials/material_section_writer.h"

struct CMaterialSectionWriter::Columns {
    std::vector<double> temperatures;
    std::vector<std::vector<double>> values;

    std::size_t Count() const { return temperatures.size(); }
    // One value column against the temperatures, not numbered yet.
    MaterialFunction Function(std::size_t column, std::string name = {}) const {
        return {0, std::move(name), {temperatures, values[column]}};
    }
};

// The datum of the same name as its property, the usual shape of a host property; null when
// the material lacks either.
ComPtr<IHostMaterialData> OwnData(IHostMaterial* material, std::wstring_view name);
