// XML access over pugixml. Nodes are value handles (XmlNode, null when empty) that stay valid
// while their XmlDocument lives; the document owns every node. Names, XPath queries and texts
// are taken as wide strings (or UTF-8) and stored as UTF-8.
//
// Answers follow the system's conventions: S_OK when found or done, S_FALSE when a selection
// finds nothing where that is not an error, E_FAIL for a null context, a bad query or a failed
// conversion. Out values are left unchanged on any failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com.h"

using XmlNode = pugi::xml_node;

// Owns one parsed or built document. Parsing drops whitespace-only text nodes.
class XmlDocument {
  public:
    XmlDocument();
    XmlDocument(XmlDocument&&) noexcept;
    XmlDocument& operator=(XmlDocument&&) noexcept;
    ~XmlDocument();

    // Replaces the content. E_FAIL (content emptied) when the text is not well-formed XML;
    // STG_E_FILENOTFOUND when the file cannot be opened. The error text says where and why.
    [[nodiscard]] HRESULT LoadFromText(std::string_view utf8);
    [[nodiscard]] HRESULT LoadFile(const std::filesystem::path& path);
    // Writes to a temporary file beside the target and renames it over the target only when
    // the whole document was written, so a failed save never replaces a good file.
    [[nodiscard]] HRESULT SaveFile(const std::filesystem::path& path) const;
    std::string SaveString() const;
    const std::string& LastError() const { return error_; }

    // The document node (parent of the root element); never null.
    XmlNode Node() const;
    // The first element child of the document, null when there is none.
    XmlNode Root() const;

  private:
    std::unique_ptr<pugi::xml_document> doc_;
    std::string error_;
};

// A list of selected nodes, in document order.
class XmlNodeList {
  public:
    XmlNodeList() = default;
    explicit XmlNodeList(std::vector<XmlNode> nodes) : nodes_(std::move(nodes)) {}
    int GetLength() const { return static_cast<int>(nodes_.size()); }
    // Null outside the list.
    XmlNode Item(int index) const;
    auto begin() const { return nodes_.begin(); }
    auto end() const { return nodes_.end(); }

  private:
    std::vector<XmlNode> nodes_;
};

// An XPath query, compiled once, that keeps what its last selection found.
class XmlQuery {
  public:
    explicit XmlQuery(std::wstring_view xpath);
    explicit XmlQuery(std::string_view utf8XPath);
    XmlQuery(const char* utf8XPath) : XmlQuery(std::string_view(utf8XPath)) {}
    XmlQuery(const wchar_t* xpath) : XmlQuery(std::wstring_view(xpath)) {}
    XmlQuery(XmlQuery&&) noexcept;
    XmlQuery& operator=(XmlQuery&&) noexcept;
    ~XmlQuery();

    // False when the XPath text does not compile; every selection then fails.
    bool IsValid() const;
    const std::string& GetXPath() const { return xpath_; }

    // The first node of the last selection (null when none, or when it was an attribute).
    XmlNode GetNode() const { return node_; }
    // The text of what the last selection found first: an element's text, an attribute's value.
    std::wstring GetText() const;
    // Hands over the first node; the query then holds nothing.
    XmlNode TakeNode();
    const XmlNodeList& GetNodes() const { return nodes_; }
    XmlNodeList TakeNodes();

    // Selections; false when the context is null, the query is invalid or nothing matched.
    bool SelectFirst(XmlNode context);
    bool SelectAll(XmlNode context);

  private:
    std::string xpath_;
    std::unique_ptr<pugi::xpath_query> compiled_;
    XmlNode node_;
    pugi::xml_attribute attribute_;
    XmlNodeList nodes_;
};

// Selects the first node the query names under context into the query; false when none.
bool XmlSelectNode(XmlNode context, XmlQuery& query);
// Selects every node the query names under context into the query; false when none.
bool XmlSelectNodes(XmlNode context, XmlQuery& query);
// S_OK with the first node, S_FALSE when none (out null), E_FAIL when the context is null or
// the XPath does not compile (out unchanged).
[[nodiscard]] HRESULT XmlSelectSingleNode(XmlNode context, std::wstring_view xpath, XmlNode& out);
// S_OK with found telling whether a node was selected; E_FAIL only for a null context or an
// invalid query.
[[nodiscard]] HRESULT XmlTrySelectNode(XmlNode context, XmlQuery& query, bool& found);

// Typed readers: select the first node, convert its text and store it. E_FAIL (value
// unchanged) when the context is null or nothing matches; the bool reader also when the text
// is not a boolean. Numbers parse like the C runtime in the C locale (leading blanks, the
// longest valid prefix, 0 when there is none).
[[nodiscard]] HRESULT XmlQueryReadInt(XmlNode context, XmlQuery& query, int& value);
[[nodiscard]] HRESULT XmlQueryReadUInt(XmlNode context, XmlQuery& query, unsigned& value);
[[nodiscard]] HRESULT XmlQueryReadDouble(XmlNode context, XmlQuery& query, double& value);
[[nodiscard]] HRESULT XmlQueryReadString(XmlNode context, XmlQuery& query, std::wstring& value);
[[nodiscard]] HRESULT XmlQueryReadBool(XmlNode context, XmlQuery& query, bool& value);
// Whether the query names a node under context (false for a null context).
bool XmlQueryExists(XmlNode context, XmlQuery& query);

// The node's text as a boolean: "true"/"false" in any case, "#TRUE#"/"#FALSE#", or a number
// (non-zero is true), surrounding blanks ignored. E_FAIL (value unchanged) for a null node or
// any other text.
[[nodiscard]] HRESULT XmlReadBool(XmlNode node, bool& value);

// Tries the queries in order; the first that finds a node keeps it and sets value to the
// entry at the same position. E_FAIL (value unchanged) when none matches, the context is
// null, or the lists are empty or of different lengths.
[[nodiscard]] HRESULT XmlSelectFirstMatch(XmlNode context, std::span<const int> values,
                                          std::span<XmlQuery> queries, int& value);
[[nodiscard]] HRESULT XmlSelectFirstMatchBool(XmlNode context, std::span<const bool> values,
                                              std::span<XmlQuery> queries, bool& value);

// Creates an element and appends it as the last child of parent. E_FAIL (out null) when the
// parent is null, belongs to another document than `document`, cannot hold elements, or the
// name is empty. `document` may be null when the parent's document is meant.
[[nodiscard]] HRESULT XmlCreateChildElement(XmlNode document, std::wstring_view name, XmlNode parent,
                                            XmlNode& out);
// Creates and appends an element with the given text: S_OK; S_FALSE when the text could not
// be set (the element stays appended); E_FAIL as XmlCreateChildElement.
[[nodiscard]] HRESULT XmlCreateTextElement(XmlNode document, XmlNode parent, std::wstring_view name,
                                           std::wstring_view text);

// DOM operations.
// The document node a node belongs to (null for a null node).
XmlNode XmlOwnerDocument(XmlNode node);
// Sets (or adds) an attribute of an element; E_FAIL when the node is no element.
[[nodiscard]] HRESULT XmlSetAttribute(XmlNode element, std::wstring_view name, std::wstring_view value);
// The attribute's value; false (value unchanged) when the node has no such attribute.
bool XmlGetAttribute(XmlNode element, std::wstring_view name, std::wstring& value);
// Replaces the element's children by one text node; E_FAIL when the node is no element.
[[nodiscard]] HRESULT XmlSetElementText(XmlNode element, std::wstring_view text);
// The text content of a node: an element's concatenated text children, an attribute or text
// node's value.
std::wstring XmlGetText(XmlNode node);
// The node's name as a wide string.
std::wstring XmlGetName(XmlNode node);
