// Element-level reading and writing shared by the settings XML blocks.
//
// Stored documents are untrusted: a reader answers E_FAIL (and stores nothing) when the
// element it needs is missing or its text is not a value of the expected kind, and notes why
// on the open read log (settings/xml_read_log.h). Writers never fail on their own; an element
// the document refuses is skipped.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "foundation/xml.h"
#include "platform/com.h"

namespace settings_xml {

// --- reading -----------------------------------------------------------------------------

// The first node the XPath names under context, or null.
XmlNode Find(XmlNode context, const char* xpath);
bool Has(XmlNode context, const char* xpath);

// Typed values of the first node the XPath names. E_FAIL when there is none or its text is
// not a whole value of the kind (blanks around it are allowed).
[[nodiscard]] HRESULT ReadDouble(XmlNode context, const char* xpath, double& value);
[[nodiscard]] HRESULT ReadInt(XmlNode context, const char* xpath, std::int32_t& value);
// A non-negative integer up to 4294967295.
[[nodiscard]] HRESULT ReadUInt(XmlNode context, const char* xpath, std::uint32_t& value);
// "true" or "false" in any letter case, or a number (0 false, anything else true).
[[nodiscard]] HRESULT ReadBool(XmlNode context, const char* xpath, bool& value);
[[nodiscard]] HRESULT ReadText(XmlNode context, const char* xpath, std::wstring& value);

// Tries the XPaths in order; the first that names a node sets value to its paired value (and
// found to the node). E_FAIL, value unchanged, when none does; that is noted nowhere, since
// for some choices no match is no fault.
[[nodiscard]] HRESULT FirstMatch(XmlNode context, std::initializer_list<std::pair<const char*, int>> choices,
                                 int& value, XmlNode* found = nullptr);

bool ParseStrictDouble(std::wstring_view text, double& value);
bool ParseStrictInt(std::wstring_view text, std::int32_t& value);
bool ParseStrictUInt(std::wstring_view text, std::uint32_t& value);
bool ParseStrictBool(std::wstring_view text, bool& value);

// --- writing -----------------------------------------------------------------------------
// An append to a live element of an in-memory document fails only for want of memory; a null
// parent (an append before it failed) takes nothing. So the writers below answer nothing, and
// the settings' WriteXML refuses the one parent that can be null, the element it is given.

// Appends an element; null when the document refuses it.
XmlNode Append(XmlNode parent, std::wstring_view name);
// Appends an element carrying the "version" attribute of its block.
XmlNode AppendBlock(XmlNode parent, std::wstring_view name, int version);
void AppendText(XmlNode parent, std::wstring_view name, std::wstring_view text);
void AppendDouble(XmlNode parent, std::wstring_view name, double value);
void AppendInt(XmlNode parent, std::wstring_view name, std::int64_t value);
void AppendBool(XmlNode parent, std::wstring_view name, bool value);

std::wstring DoubleText(double value);
const wchar_t* BoolText(bool value);

}  // namespace settings_xml
