// XmlDocument loading and saving, XPath queries with typed reads, and building elements and texts.
#include "foundation/xml.h"

#include <sstream>

#include "foundation/text.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

bool IsElement(XmlNode node) { return node && node.type() == pugi::node_element; }

}  // namespace

// ---------------------------------------------------------------------------------------
// XmlDocument

XmlDocument::XmlDocument() : doc_(std::make_unique<pugi::xml_document>()) {}
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;
XmlDocument::~XmlDocument() = default;

HRESULT XmlDocument::LoadFromText(std::string_view utf8) {
    error_.clear();
    const pugi::xml_parse_result result =
        doc_->load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
    if (result) return S_OK;
    error_ =
        std::string("XML error at offset ") + std::to_string(result.offset) + ": " + result.description();
    doc_->reset();
    return E_FAIL;
}

HRESULT XmlDocument::LoadFile(const std::filesystem::path& path) {
    error_.clear();
    const pugi::xml_parse_result result =
        doc_->load_file(path.c_str(), pugi::parse_default, pugi::encoding_auto);
    if (result) return S_OK;
    doc_->reset();
    if (result.status == pugi::status_file_not_found || result.status == pugi::status_io_error) {
        error_ = "cannot read XML file " + path.string();
        return STG_E_FILENOTFOUND;
    }
    error_ = "XML error in " + path.string() + " at offset " + std::to_string(result.offset) + ": " +
             result.description();
    return E_FAIL;
}

HRESULT XmlDocument::SaveFile(const std::filesystem::path& path) const {
    std::filesystem::path temporary = path;
    temporary += ".saving";
    if (!doc_->save_file(temporary.c_str(), "  ", pugi::format_default, pugi::encoding_utf8)) {
        platform::RemoveFile(temporary);
        return STG_E_WRITEFAULT;
    }
    if (!platform::ReplaceFileWith(temporary, path)) {
        platform::RemoveFile(temporary);
        return STG_E_WRITEFAULT;
    }
    return S_OK;
}

std::string XmlDocument::SaveString() const {
    std::ostringstream out;
    doc_->save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

XmlNode XmlDocument::Node() const { return *doc_; }

XmlNode XmlDocument::Root() const { return doc_->document_element(); }

// ---------------------------------------------------------------------------------------
// XmlNodeList and XmlQuery

XmlNode XmlNodeList::Item(int index) const {
    if (index < 0 || index >= GetLength()) return XmlNode();
    return nodes_[static_cast<std::size_t>(index)];
}

XmlQuery::XmlQuery(std::wstring_view xpath) : XmlQuery(std::string_view(platform::WideToUtf8(xpath))) {}

XmlQuery::XmlQuery(std::string_view utf8XPath) : xpath_(utf8XPath) {
    try {
        compiled_ = std::make_unique<pugi::xpath_query>(xpath_.c_str());
        if (!*compiled_) compiled_.reset();
    } catch (const pugi::xpath_exception&) {
        compiled_.reset();
    }
}

XmlQuery::XmlQuery(XmlQuery&&) noexcept = default;
XmlQuery& XmlQuery::operator=(XmlQuery&&) noexcept = default;
XmlQuery::~XmlQuery() = default;

bool XmlQuery::IsValid() const { return compiled_ != nullptr; }

XmlNode XmlQuery::TakeNode() {
    XmlNode node = node_;
    node_ = XmlNode();
    return node;
}

XmlNodeList XmlQuery::TakeNodes() {
    XmlNodeList nodes = std::move(nodes_);
    nodes_ = XmlNodeList();
    return nodes;
}

bool XmlQuery::SelectFirst(XmlNode context) {
    node_ = XmlNode();
    attribute_ = pugi::xml_attribute();
    if (!context || !compiled_) return false;
    try {
        const pugi::xpath_node found = compiled_->evaluate_node(context);
        // A selected attribute leaves node_ null; GetText reads its value.
        node_ = found.node();
        attribute_ = found.attribute();
    } catch (const pugi::xpath_exception&) {
        return false;
    }
    return node_ || attribute_;
}

bool XmlQuery::SelectAll(XmlNode context) {
    nodes_ = XmlNodeList();
    if (!context || !compiled_) return false;
    std::vector<XmlNode> nodes;
    try {
        const pugi::xpath_node_set set = compiled_->evaluate_node_set(context);
        nodes.reserve(set.size());
        for (const pugi::xpath_node& n : set)
            if (n.node()) nodes.push_back(n.node());
    } catch (const pugi::xpath_exception&) {
        return false;
    }
    nodes_ = XmlNodeList(std::move(nodes));
    return nodes_.GetLength() > 0;
}

std::wstring XmlQuery::GetText() const {
    if (attribute_) return platform::Utf8ToWide(attribute_.value());
    return XmlGetText(node_);
}

// ---------------------------------------------------------------------------------------
// Selection helpers

bool XmlSelectNode(XmlNode context, XmlQuery& query) { return query.SelectFirst(context); }

bool XmlSelectNodes(XmlNode context, XmlQuery& query) { return query.SelectAll(context); }

HRESULT XmlSelectSingleNode(XmlNode context, std::wstring_view xpath, XmlNode& out) {
    XmlQuery query(xpath);
    if (!context || !query.IsValid()) return E_FAIL;
    out = query.SelectFirst(context) ? query.GetNode() : XmlNode();
    return out ? S_OK : S_FALSE;
}

HRESULT XmlTrySelectNode(XmlNode context, XmlQuery& query, bool& found) {
    if (!context || !query.IsValid()) return E_FAIL;
    found = query.SelectFirst(context);
    return S_OK;
}

bool XmlQueryExists(XmlNode context, XmlQuery& query) { return query.SelectFirst(context); }

HRESULT XmlQueryReadInt(XmlNode context, XmlQuery& query, int& value) {
    if (!query.SelectFirst(context)) return E_FAIL;
    value = ParseInt(query.GetText());
    return S_OK;
}

HRESULT XmlQueryReadUInt(XmlNode context, XmlQuery& query, unsigned& value) {
    if (!query.SelectFirst(context)) return E_FAIL;
    // The C runtime reads a negative text as its two's complement; a value beyond 32 bits is
    // refused rather than truncated.
    const double parsed = ParseDouble(query.GetText());
    if (!(parsed >= -2147483648.0 && parsed <= 4294967295.0)) return E_FAIL;
    value = static_cast<unsigned>(static_cast<long long>(parsed));
    return S_OK;
}

HRESULT XmlQueryReadDouble(XmlNode context, XmlQuery& query, double& value) {
    if (!query.SelectFirst(context)) return E_FAIL;
    value = ParseDouble(query.GetText());
    return S_OK;
}

HRESULT XmlQueryReadString(XmlNode context, XmlQuery& query, std::wstring& value) {
    if (!query.SelectFirst(context)) return E_FAIL;
    value = query.GetText();
    return S_OK;
}

namespace {

[[nodiscard]] HRESULT TextToBool(const std::wstring& text, bool& value) {
    VariantHolder converted{std::wstring_view(text)};
    if (FAILED(converted.ChangeType(VT_BOOL))) return E_FAIL;
    value = converted->boolVal != VARIANT_FALSE;
    return S_OK;
}

}  // namespace

HRESULT XmlQueryReadBool(XmlNode context, XmlQuery& query, bool& value) {
    if (!query.SelectFirst(context)) return E_FAIL;
    return TextToBool(query.GetText(), value);
}

HRESULT XmlReadBool(XmlNode node, bool& value) {
    if (!node) return E_FAIL;
    return TextToBool(XmlGetText(node), value);
}

namespace {

template <class V>
[[nodiscard]] HRESULT SelectFirstMatch(XmlNode context, std::span<const V> values,
                                       std::span<XmlQuery> queries, V& value) {
    if (!context || values.empty() || values.size() != queries.size()) return E_FAIL;
    for (std::size_t i = 0; i < queries.size(); ++i) {
        if (queries[i].SelectFirst(context)) {
            value = values[i];
            return S_OK;
        }
    }
    return E_FAIL;
}

}  // namespace

HRESULT XmlSelectFirstMatch(XmlNode context, std::span<const int> values, std::span<XmlQuery> queries,
                            int& value) {
    return SelectFirstMatch(context, values, queries, value);
}

HRESULT XmlSelectFirstMatchBool(XmlNode context, std::span<const bool> values, std::span<XmlQuery> queries,
                                bool& value) {
    return SelectFirstMatch(context, values, queries, value);
}

// ---------------------------------------------------------------------------------------
// Building documents

HRESULT XmlCreateChildElement(XmlNode document, std::wstring_view name, XmlNode parent, XmlNode& out) {
    out = XmlNode();
    if (!parent || name.empty()) return E_FAIL;
    if (parent.type() != pugi::node_element && parent.type() != pugi::node_document) return E_FAIL;
    if (document && document.root() != parent.root()) return E_FAIL;
    // A document has one root element; a second would make it unreadable when saved.
    if (parent.type() == pugi::node_document &&
        parent.find_child([](XmlNode n) { return n.type() == pugi::node_element; }))
        return E_FAIL;
    out = parent.append_child(platform::WideToUtf8(name).c_str());
    return out ? S_OK : E_FAIL;
}

HRESULT XmlCreateTextElement(XmlNode document, XmlNode parent, std::wstring_view name,
                             std::wstring_view text) {
    XmlNode element;
    const HRESULT hr = XmlCreateChildElement(document, name, parent, element);
    if (FAILED(hr)) return hr;
    return SUCCEEDED(XmlSetElementText(element, text)) ? S_OK : S_FALSE;
}

XmlNode XmlOwnerDocument(XmlNode node) { return node ? node.root() : XmlNode(); }

HRESULT XmlSetAttribute(XmlNode element, std::wstring_view name, std::wstring_view value) {
    if (!IsElement(element) || name.empty()) return E_FAIL;
    const std::string key = platform::WideToUtf8(name);
    pugi::xml_attribute attribute = element.attribute(key.c_str());
    if (!attribute) attribute = element.append_attribute(key.c_str());
    return attribute && attribute.set_value(platform::WideToUtf8(value).c_str()) ? S_OK : E_FAIL;
}

bool XmlGetAttribute(XmlNode element, std::wstring_view name, std::wstring& value) {
    if (!element) return false;
    const pugi::xml_attribute attribute = element.attribute(platform::WideToUtf8(name).c_str());
    if (!attribute) return false;
    value = platform::Utf8ToWide(attribute.value());
    return true;
}

HRESULT XmlSetElementText(XmlNode element, std::wstring_view text) {
    if (!IsElement(element)) return E_FAIL;
    while (element.first_child()) element.remove_child(element.first_child());
    if (text.empty()) return S_OK;
    XmlNode data = element.append_child(pugi::node_pcdata);
    return data && data.set_value(platform::WideToUtf8(text).c_str()) ? S_OK : E_FAIL;
}

std::wstring XmlGetText(XmlNode node) {
    if (!node) return std::wstring();
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
        return platform::Utf8ToWide(node.value());
    std::string text;
    for (XmlNode child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
    return platform::Utf8ToWide(text);
}

std::wstring XmlGetName(XmlNode node) { return platform::Utf8ToWide(node.name()); }
