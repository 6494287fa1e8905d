// The recorder that logs each settings-change notification, and the XML element sources over a kept document.
#include "hostsim/analysis_objects.h"

#include <string>

#include "platform/com_object.h"

namespace {

class HostSimSettingsCallback : public ComObject<HostSimSettingsCallback, IHostSettingsCallback> {
  public:
    explicit HostSimSettingsCallback(std::shared_ptr<HostSimCallLog> log) : log_(std::move(log)) {}

    [[nodiscard]] HRESULT OnSettingsChanged(int code) override {
        if (log_) log_->Record("settings changed (" + std::to_string(code) + ")");
        return S_OK;
    }

  private:
    std::shared_ptr<HostSimCallLog> log_;
};

// One class per interface: the three differ only by their id.
template <class Source>
class HostSimXmlElementSource : public ComObject<HostSimXmlElementSource<Source>, Source> {
  public:
    HostSimXmlElementSource(std::shared_ptr<pugi::xml_document> document, pugi::xml_node element)
        : document_(std::move(document)), element_(element) {}

    [[nodiscard]] HRESULT GetElement(pugi::xml_node& element) override {
        element = element_;
        return S_OK;
    }

  private:
    std::shared_ptr<pugi::xml_document> document_;
    pugi::xml_node element_;
};

template <class Source>
ComPtr<IUnknown> MakeElementSource(std::shared_ptr<pugi::xml_document> document, pugi::xml_node element) {
    ComPtr<HostSimXmlElementSource<Source>> source =
        MakeComObject<HostSimXmlElementSource<Source>>(std::move(document), element);
    ComPtr<IUnknown> unknown;
    if (source) (void)source->QueryInterface(IID_IUnknown, unknown.ReleaseAndGetVoidAddress());
    return unknown;
}

}  // namespace

ComPtr<IHostSettingsCallback> CreateHostSimSettingsCallback(std::shared_ptr<HostSimCallLog> log) {
    return MakeComObject<HostSimSettingsCallback>(std::move(log));
}

ComPtr<IUnknown> CreateHostSimXmlElementSource(std::shared_ptr<pugi::xml_document> document,
                                               pugi::xml_node element, int which) {
    // The element must live as long as the source: only an element of the kept document does.
    if (!document || element.type() != pugi::node_element || element.root() != *document) return nullptr;
    switch (which) {
        case 1:
            return MakeElementSource<IHostXmlElementSource>(std::move(document), element);
        case 2:
            return MakeElementSource<IHostXmlElementSource2>(std::move(document), element);
        case 3:
            return MakeElementSource<IHostXmlElementSource3>(std::move(document), element);
        default:
            return nullptr;
    }
}
