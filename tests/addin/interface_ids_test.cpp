// The class and interface ids through which the host and the add-in find each other. A host
// answers an interface only by its exact id, and the file-backed host shares the add-in's
// constants, so a misspelt constant passes every other test while a real host answers nothing.
// The ids are held here as text, as the host documents them, and compared with the constants.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "addin/com_module.h"
#include "addin/dorvix_addin.h"
#include "addin/dorvix_analysis_settings_interface.h"
#include "host/analysis_host.h"
#include "host/analysis_settings_addin.h"
#include "host/dorvix_proxy_interface.h"
#include "host/entity_text.h"
#include "host/mesh.h"
#include "host/object_model.h"
#include "host/parameters.h"
#include "host/property_grid.h"
#include "host/result_reader.h"
#include "host/selection_resolver.h"
#include "host/solver_database.h"
#include "host/solver_interfaces.h"
#include "host/solver_proxy.h"
#include "host/string_table.h"
#include "host/units_service.h"
#include "platform/com_object.h"
#include "platform/dispatch.h"
#include "runtime/dorvix_addin_interface.h"

namespace {

struct DocumentedId {
    const char* text;
    const GUID& id;
    const char* name;
};

const DocumentedId kDocumentedIds[] = {
    // The add-in's classes, its own interfaces and the category of its classes.
    {"{E963ECA3-80F7-4291-A63F-633CA1F6454E}", CLSID_JXDorvixSolver, "solver class"},
    {"{CDA7510D-6C5F-4F7C-8DF5-A490A6E6DE21}", CLSID_DorvixProxy, "proxy class"},
    {"{92EE5997-CBFC-4627-850B-332C9FE2AFD9}", CLSID_DorvixAnalysisSettings, "settings class"},
    {"{754706DA-154C-4A95-935F-C3006264668B}", CLSID_DorvixAddin, "add-in class"},
    {"{179D6D81-459C-42b8-A671-A1BBBDEC9671}", kRuntimeCoClassCategory, "class category"},
    {"{C9EDAFF4-AB71-43B0-BBBE-160E74343423}", IID_IJXDorvixSolver, "IJXDorvixSolver"},
    {"{432B45D3-DF9F-4190-B9EC-082E9C038C6B}", IID_ITRVSolver, "ITRVSolver"},
    {"{A8CC514E-5E6F-49A7-BCF0-E0BC02AF99E1}", IID_ICAESolver, "ICAESolver"},
    {"{5228124A-3363-4663-BBFD-E90AF2191E5A}", IID_IFileManagement, "IFileManagement"},
    {"{93271765-0F6E-453A-8752-22232C8947A2}", IID_IDorvixProxy, "IDorvixProxy"},
    {"{CB4A28B8-C9D5-497E-8342-92873763F98B}", IID_IDorvixAnalysisSettings, "IDorvixAnalysisSettings"},
    {"{E64F3834-A581-48C3-BD70-A541B8729A70}", IID_IDorvixAddin, "IDorvixAddin"},
    {"{AD518575-45F9-4223-85C5-9F0EC6B3B0C6}", IID_IQHAddin, "IQHAddin"},
    // Interfaces of the host the add-in's objects answer.
    {"{630BD105-59D9-4ECD-BE87-78F1A3810C6E}", IID_IXenSolverProxy, "IXenSolverProxy"},
    {"{2FC1629A-19BA-4F51-A35A-97D6197DCCF2}", IID_ISolverValidation, "ISolverValidation"},
    {"{96767C43-EB79-4627-A614-07B61A18BB93}", IID_ISolverDatabase, "ISolverDatabase"},
    {"{3ECD0A2B-85CA-40E2-8CB5-FC4C882F56AF}", IID_IJXObjectsAddinProvider, "IJXObjectsAddinProvider"},
    {"{5F9006E7-D206-468B-B6B6-2F2E08AE0FB8}", IID_IJXAnalysisSettingsAddIn, "IJXAnalysisSettingsAddIn"},
    {"{749CDB2C-F14D-45EE-A01C-388DF13A4FD1}", IID_IJXAnalysisSettingsAddIn2, "IJXAnalysisSettingsAddIn2"},
    {"{DE961BA6-EA56-4F44-9720-E3DEB6B08D0A}", IID_IXenProperty, "IXenProperty"},
    {"{8DD699F1-5582-4706-9222-FA8B3E5F67EA}", IID_IXenPropertyColl, "IXenPropertyColl"},
    {"{22E73299-648E-4418-BDAD-2DAB81EDB781}", IID_IXenProvideProperties, "IXenProvideProperties"},
    {"{6CB58B7E-3BB7-4CB3-861D-FA2621729360}", IID_IQHPropertyBrowsing, "IQHPropertyBrowsing"},
    {"{00000003-0000-0000-C000-000000000046}", IID_IMarshal, "IMarshal"},
    {"{00020400-0000-0000-C000-000000000046}", IID_IDispatch, "IDispatch"},
    // The host's components and the interfaces the add-in asks the host's objects for.
    {"{75D0B49B-24D5-43F0-B2C0-2365563A45CA}", CLSID_HostSolverDatabase, "solver-database class"},
    {"{857603F6-788E-4D1C-A480-558A80FD6A12}", IHostSolverDatabase::kIid, "solver database"},
    {"{D06BCD0F-1F43-431C-BB41-FFE06BBCC0BD}", CLSID_HostResultReader, "result-reader class"},
    {"{CAD2A2B4-B677-47A3-BE8C-92374123D88A}", IHostResultReader::kIid, "result reader"},
    {"{807EECCE-23F6-46D8-8B42-A03C197C2BB3}", CLSID_HostStringList, "string-list class"},
    {"{63D4E92D-EDAB-4071-91E0-58FA583731DA}", IID_IHostStringList, "string list"},
    {"{3F210698-9FED-4C18-BF4A-3F7088C0E165}", CLSID_HostStringTable, "string-table class"},
    {"{DA210D1E-5F75-44C2-BA5E-A339A30969DF}", IID_IHostStringTable, "string table"},
    {"{E1515E19-C7A2-4425-AEEF-A9C63FB63F74}", CLSID_HostUnitsService, "units-service class"},
    {"{F474EA33-8B91-4CC5-A9B1-0B7A393EEB42}", IID_IHostUnitsService, "units service"},
    {"{9D0D31A0-DD86-40DB-8098-D18A1B35EEFC}", CLSID_SelectionResolver, "model-object class"},
    {"{20488116-A0C0-4850-8AF9-0A05821ED287}", IID_ISelectionResolver, "model object"},
    {"{D8AF0C30-DB9D-4A11-A716-6FD99CA0D00E}", CLSID_HostParameterManager, "parameter-list class"},
    {"{2A988B8B-8038-4F77-AF83-4B5C83EF5A28}", IID_IHostParameterManager, "parameter list"},
    {"{DEBAF403-BC7C-4B0D-8D95-7AC5761A1EDC}", IHostMeshData::kIid, "mesh data"},
    {"{617154E2-C80C-416B-9649-7277F5052736}", IID_IHostObjectNaming, "object naming"},
    {"{34D4301D-A7EC-441C-B32A-FD8E233994B1}", IHostEntityText::kIid, "entity text"},
    {"{79F7D1CF-554A-4CAA-B8E7-0D232289D5AC}", IID_IHostApplet, "host applet"},
    {"{74F97BB5-8B9B-4E24-A62D-EFFEBDE22104}", IID_IQHRoot, "root object"},
    {"{193FE0D0-549C-4579-9892-7C54BCAF94B2}", IID_IQHApplet, "applet"},
    {"{157B57BE-945C-482D-8EC0-6BA08AAE621A}", IID_IQHDelegate, "delegate"},
    {"{137D1EC3-57DA-485C-A79D-9EDBA107F4DE}", IID_IHostSettingsCallback, "settings callback"},
    {"{4DB1B6AA-875F-4071-8B9E-45AF60FE06DE}", IID_IHostTimeTableOwner, "time-table owner"},
    {"{9FE4F5E3-E2AD-4A57-9A3B-F80FFE26D7DC}", IID_IHostTimeTable, "time table"},
    {"{A03C69F9-DE32-4826-8C53-34EF9E4AC165}", IID_IHostStepCount, "step count"},
    {"{78C30E0C-ADC3-4BBF-BFBB-8EA6FD0E7062}", IID_IHostContactRegion, "contact region"},
    {"{613C7F73-FADC-404D-82B9-30D734F0AC58}", IID_IHostCyclicRegion, "cyclic region"},
    {"{F9CEB9FA-47F2-4DB2-AE9C-51BED9F15E20}", IID_IHostLoadObject, "load object"},
    {"{9A98B08E-FB34-4FF1-A759-07A9C7A87253}", IID_IHostEnvironmentLink, "environment link"},
    {"{73F6938A-B2BF-4BB8-B1CC-6A8C8E2C8B65}", IID_IHostXmlElementSource, "XML element source"},
    {"{1231821E-DC42-417D-9ED9-6811B4375172}", IID_IHostXmlElementSource2, "XML element source 2"},
    {"{4429ECAA-1FC4-4D20-86C1-D868F826A0D4}", IID_IHostXmlElementSource3, "XML element source 3"},
    {"{2257EF02-9AA5-4EF2-A42F-E1A28EAB6862}", IID_IHostRealValue, "real value"},
    {"{42D0E5CD-7ACE-44BD-A1FC-14328F5472AA}", IID_IHostExpressionValue, "expression value"},
    {"{2FC511D6-E959-46AF-B64D-7D84A4802815}", IID_IHostOutputValue, "output value"},
    {"{64CCC6DE-E6A0-4A75-B0F7-9E45198F7E16}", IID_IHostListValue, "list value"},
    {"{7F94345A-A733-4C0F-8067-4D9FDEE10F0D}", IID_IHostTableValue, "table value"},
    {"{A2695372-3B0F-4DE5-8414-3D2C6DABCDC9}", IID_IHostIntegerValue, "integer value"},
    {"{E1B0446C-19B0-4295-838B-0990C90C7137}", IID_IHostIntPropertyValue, "integer property value"},
    {"{F36D2D22-D554-4405-92FE-5358E18248E4}", IID_IHostDoublePropertyValue, "double property value"},
    {"{3DE4BA0C-AEE6-48B1-BCB8-B4689F0F6D96}", IID_IHostTextPropertyValue, "text property value"},
};

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

TEST(InterfaceIds, EveryIdIsTheOneTheHostDocuments) {
    for (const DocumentedId& documented : kDocumentedIds)
        EXPECT_EQ(GuidToString(documented.id), Upper(documented.text)) << documented.name;
}
