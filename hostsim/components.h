// Host components the file-backed host creates by class id: the localized string table, the
// string list, the units service and the result reader.
#pragma once

#include <memory>

#include "host/result_reader.h"
#include "host/string_table.h"
#include "host/units_service.h"
#include "hostsim/host_case.h"

// A string table read from an XML file of this form:
//   <StringTable language="en-us"><String key="ID_...">text</String>...</StringTable>
ComPtr<IHostStringTable> CreateHostSimStringTable();
// A string table holding the given texts (for host objects that carry their own).
ComPtr<IHostStringTable> CreateHostSimStringTable(const std::map<std::wstring, std::wstring>& texts);
ComPtr<IHostStringList> CreateHostSimStringList();
// Host quantity codes are the solver's quantity indices; conversions and labels come from the
// solver unit-system table.
ComPtr<IHostUnitsService> CreateHostSimUnitsService(const HostSimUnits& units);

// Reads the stand-in solver's result descriptions (layout in docs/standin-solver.md).
ComPtr<IHostResultReader> CreateHostSimResultReader();

// Creators for the creation registry.
[[nodiscard]] HRESULT CreateStringTableComponent(IUnknown* outer, REFIID iid, void** out);
[[nodiscard]] HRESULT CreateResultReaderComponent(IUnknown* outer, REFIID iid, void** out);
[[nodiscard]] HRESULT CreateStringListComponent(IUnknown* outer, REFIID iid, void** out);
