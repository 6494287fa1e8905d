// Imported pressures and surface loads as ".CLM" blocks: per element face, per element on
// shells ("MAI"), per edge in a 2-D model ("ARETE"). The whole table is left out when a
// column does not fit the rows, so no load lands on the wrong face.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "deck/dorvix_feeder.h"
#include "deck/loads/imported_table_columns.h"
#include "deck/mesh/element_wrapper.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/number_format.h"
#include "host/data_source.h"

namespace {

using imported::TablePreference;

struct SurfaceLoadRows {
    std::vector<double> values;
    std::vector<int> elements;
    std::vector<double> direction[3];  // all empty: normal to the face
    std::vector<int> faces;
    std::vector<int> elementTypes;
};

// False when the table is missing or holds no row, when a used column differs from the
// rows in length (the directions all empty or all full) or a number cannot be written.
bool ReadSurfaceLoadRows(const NCAERep::NBC::CTable& table, double time, SurfaceLoadRows& rows) {
    std::vector<double> ids, faces, types;
    if (!imported::ReadValuesAt(table, time, rows.values) ||
        !imported::ReadColumnAt(table, time, L"EntityId", ids) ||
        !imported::ReadColumnAt(table, time, L"FaceNumber", faces) ||
        !imported::ReadColumnAt(table, time, L"ElementType", types))
        return false;
    const std::size_t count = rows.values.size();
    if (count == 0 || ids.size() != count || faces.size() != count || types.size() != count) return false;

    const wchar_t* directionColumns[3] = {L"RealVectorI", L"RealVectorJ", L"RealVectorK"};
    int full = 0;
    for (int c = 0; c < 3; ++c) {
        // A table without a direction column is one of normal pressures.
        (void)imported::ReadColumnAt(table, time, directionColumns[c], rows.direction[c]);
        if (rows.direction[c].size() == count)
            ++full;
        else if (!rows.direction[c].empty())
            return false;
        if (!imported::AllFinite(rows.direction[c])) return false;
    }
    if (full != 0 && full != 3) return false;
    return imported::AllFinite(rows.values) && imported::ToInts(ids, rows.elements) &&
           imported::ToInts(faces, rows.faces) && imported::ToInts(types, rows.elementTypes);
}

// The host reports a shell element with the shell flag on each entity it belongs to.
bool IsShellElement(IHostMeshData& mesh, int element, bool& shell) {
    std::vector<HostEntityRef> entities;
    if (FAILED(mesh.GetElementEntities(element, entities))) return false;
    shell = !entities.empty();
    for (const HostEntityRef& entity : entities)
        if ((entity.flags & kHostShellElementFlag) == 0) shell = false;
    return true;
}

// The row's direction scaled to its length of the value; a zero direction stays zero.
std::array<double, 3> DirectedValue(const SurfaceLoadRows& rows, std::size_t row) {
    std::array<double, 3> v = {rows.direction[0][row], rows.direction[1][row], rows.direction[2][row]};
    // Scaled to its largest component first, so the length of a huge direction stays finite.
    const double largest = std::max({std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])});
    if (largest == 0.0) return {0.0, 0.0, 0.0};
    for (double& component : v) component /= largest;
    const double length = std::hypot(v[0], v[1], v[2]);
    for (double& component : v) component = component / length * rows.values[row];
    return v;
}

}  // namespace

int DorvixFeeder::WriteImportedSurfaceLoadTables(const NCAERep::CCAERepBase& externalLoad,
                                                 const NCAERep::CPropertyValue& time, int step) try {
    double timeValue = 0.0;
    time.getValue(timeValue);
    const NCAERep::NBC::CTable* table = imported::FindImportedTable(externalLoad, TablePreference::kSTable);
    SurfaceLoadRows rows;
    if (!deckFile_ || !table || !std::isfinite(timeValue) || !ReadSurfaceLoadRows(*table, timeValue, rows))
        return kRC_Success;

    const std::string lineEnd =
        UseLoadCases() ? "NC " + std::to_string(step) : "TIME " + FormatGeneral15(timeValue);
    const bool twoDimensional = dataSource_ && dataSource_->Is2DAnalysis();
    bool perElement = false;
    if (!twoDimensional) {
        IHostMeshData* mesh = meshWrapper_ ? meshWrapper_->GetMeshData() : nullptr;
        if (!mesh || !IsShellElement(*mesh, rows.elements[0], perElement)) return kRC_Success;
    }
    const std::string placement = twoDimensional ? "ARETE" : perElement ? "MAI" : "FACE";

    std::vector<int> deckFaces(rows.faces.size());
    for (std::size_t i = 0; i < deckFaces.size(); ++i)
        deckFaces[i] = CElementWrapper::ToDeckFaceNumber(rows.faces[i], rows.elementTypes[i]);
    const auto writeRow = [&](std::size_t i, double value) {
        if (deckFaces[i] == -1) return;
        if (perElement)
            deckFile_->WriteFields("  I", rows.elements[i], "V", value, lineEnd);
        else
            deckFile_->WriteFields("  I", rows.elements[i], deckFaces[i], "V", value, lineEnd);
    };

    if (rows.direction[0].empty()) {
        deckFile_->WriteLine(".CLM PRESSION " + placement);
        // A pressure on a shell element acts against the element's normal.
        for (std::size_t i = 0; i < rows.values.size(); ++i)
            writeRow(i, perElement ? rows.values[i] * -1.0 : rows.values[i]);
        return kRC_Success;
    }
    constexpr char kComponents[3] = {'X', 'Y', 'Z'};
    for (int c = 0; c < 3; ++c) {
        deckFile_->WriteLine(std::string(".CLM SF") + kComponents[c] + " " + placement);
        if (twoDimensional && c == 2) continue;
        for (std::size_t i = 0; i < rows.values.size(); ++i) writeRow(i, DirectedValue(rows, i)[c]);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing an imported pressure");
}
