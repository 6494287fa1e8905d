// The settings object in the host's project XML: the element a host object carries receives
// the settings (which the feeders read back) and the host's parameters as name/value pairs.
#include <cstdint>
#include <new>
#include <string>

#include "addin/dorvix_analysis_settings.h"
#include "addin/host_parameter_access.h"
#include "foundation/number_format.h"
#include "foundation/xml.h"
#include "host/parameters.h"
#include "platform/creation_registry.h"
#include "platform/text.h"
#include "runtime/addin_services.h"
#include "settings/settings_factory.h"
#include "settings/solution_settings.h"
#include "settings/solver_file_controls.h"

namespace {

constexpr const wchar_t* kParameters = L"Parameters";
// The class context the parameter-list component is created with.
constexpr std::uint32_t kParameterManagerContext = 23;
constexpr std::uint16_t kNoSolverUnits = 0xFFFF;

template <class Source>
bool ElementFrom(IUnknown* hostNode, pugi::xml_node& element, HRESULT& hr) {
    ComPtr<Source> source;
    if (FAILED(hostNode->QueryInterface(Source::iid(), source.ReleaseAndGetVoidAddress())) || !source)
        return false;
    hr = SUCCEEDED(source->GetElement(element)) && element.type() == pugi::node_element ? S_OK : E_FAIL;
    return true;
}

// Removes the element's children of the name except `kept`, so that a rewrite replaces what
// it wrote before.
void RemoveChildElements(XmlNode element, const char* name, XmlNode kept) {
    for (XmlNode child = element.child(name); child;) {
        const XmlNode next = child.next_sibling(name);
        if (child != kept) element.remove_child(child);
        child = next;
    }
}

// One "p<n>" element with the parameter's "Name" and "Value" texts. E_OUTOFMEMORY when a
// text cannot be stored.
[[nodiscard]] HRESULT AppendParameter(XmlNode document, XmlNode parameters, int position,
                                      IHostParameter* parameter) {
    BstrHolder name;
    if (FAILED(parameter->GetName(name.ReleaseAndGetAddressOf()))) name = BstrHolder();
    double value = 0.0;
    if (FAILED(GetParameterValueAsDouble(parameter, &value))) value = 0.0;

    XmlNode element;
    HRESULT hr = XmlCreateChildElement(document, L"p" + std::to_wstring(position), parameters, element);
    if (FAILED(hr)) return hr;
    hr = XmlCreateTextElement(document, element, L"Name", name.View());
    if (hr == S_OK)
        hr = XmlCreateTextElement(document, element, L"Value", platform::Utf8ToWide(FormatGeneral15(value)));
    if (hr == S_FALSE) return E_OUTOFMEMORY;
    return hr;
}

// "Parameters" with one child per parameter of the host's parameter list, in the host's
// order. A host without the list component or its collection has no parameters to write.
[[nodiscard]] HRESULT AppendParameters(XmlNode document, XmlNode element) {
    XmlNode parameters;
    HRESULT hr = XmlCreateChildElement(document, kParameters, element, parameters);
    if (FAILED(hr)) return hr;
    ComPtr<IHostParameterManager> manager;
    if (FAILED(Xen::Vexcomp::CoCreateInstance(CLSID_HostParameterManager, nullptr, kParameterManagerContext,
                                              IID_IHostParameterManager,
                                              manager.ReleaseAndGetVoidAddress())) ||
        !manager)
        return S_OK;
    ComPtr<IHostParameterCollection> collection;
    int count = 0;
    if (FAILED(manager->GetParameters(collection.ReleaseAndGetAddressOf())) || !collection ||
        FAILED(collection->GetCount(count)))
        return S_OK;
    for (int i = 0; i < count; ++i) {
        VariantHolder index(static_cast<std::int32_t>(i));
        ComPtr<IHostParameter> parameter;
        // A parameter the host cannot hand out is left out; the others keep their positions.
        if (FAILED(collection->GetItem(*index, parameter.ReleaseAndGetAddressOf())) || !parameter) continue;
        hr = AppendParameter(document, parameters, i + 1, parameter.Get());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

}  // namespace

HRESULT CDorvixAnalysisSettings::CheckXmlNode(IUnknown* hostNode, pugi::xml_node& element) {
    if (!hostNode) return E_POINTER;
    HRESULT hr = E_NOINTERFACE;
    if (ElementFrom<IHostXmlElementSource>(hostNode, element, hr) ||
        ElementFrom<IHostXmlElementSource2>(hostNode, element, hr) ||
        ElementFrom<IHostXmlElementSource3>(hostNode, element, hr))
        return hr;
    return E_NOINTERFACE;
}

HRESULT CDorvixAnalysisSettings::WriteSettingsXml(IUnknown* hostNode) try {
    pugi::xml_node element;
    HRESULT hr = CheckXmlNode(hostNode, element);
    if (FAILED(hr)) return hr;
    if (!settings_ || !solverFileControls_) return E_POINTER;

    const int units = AddinServices::GetInstance().GetUnitSystem();
    solverFileControls_->SetSolverUnits(units < 0 ? kNoSolverUnits : static_cast<std::uint16_t>(units));

    // Everything is written aside first and joins the element only when complete, so that a
    // failed write leaves the element as it was.
    pugi::xml_document written;
    hr = settings_->WriteXML(written);
    if (FAILED(hr)) return hr;
    const XmlNode root = written.first_child();
    if (!root) return E_FAIL;
    pugi::xml_document writtenParameters;
    hr = AppendParameters(writtenParameters, writtenParameters);
    if (FAILED(hr)) return hr;
    const XmlNode parameters = writtenParameters.first_child();

    const XmlNode newRoot = element.append_copy(root);
    const XmlNode newParameters = newRoot ? element.append_copy(parameters) : XmlNode();
    hr = newParameters ? XmlSetAttribute(element, L"version", L"1") : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        if (newRoot) element.remove_child(newRoot);
        if (newParameters) element.remove_child(newParameters);
        return hr;
    }
    RemoveChildElements(element, root.name(), newRoot);
    RemoveChildElements(element, parameters.name(), newParameters);
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CDorvixAnalysisSettings::ReadSettingsXml(IUnknown* hostNode) try {
    pugi::xml_node element;
    HRESULT hr = CheckXmlNode(hostNode, element);
    if (FAILED(hr)) return hr;
    return ReplaceSettings([element](DorvixSolutionSettings& fresh) { return fresh.ReadXML(element); });
} catch (...) {
    return AnswerCurrentFailure();
}
