// The paragraphs of an HTML-formatted message as plain texts: what the host shows as
// separate lines of one user message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The inner text of every <P> element in document order, with markup removed, character
// references decoded and white space collapsed as a browser renders it; empty paragraphs
// are left out. A text without paragraph tags yields nothing.
std::vector<std::wstring> SplitHtmlParagraphs(std::wstring_view html);
