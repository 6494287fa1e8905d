// The names of the files a solve creates or uses, as the host's file management asks for them.
#pragma once

#include <string>
#include <vector>

// Every file name (or wildcard pattern) a solve may create or use, in a fixed order.
std::vector<std::wstring> SolverFileNames();
// The result descriptions, the listings and results, and (for a mechanical static solve that
// keeps its files for a prestressed modal run) the restart files: each name once, sorted by
// FileNameLess.
std::vector<std::wstring> FileGroupNames(int physicsType, int analysisType, int futureIntent);
// The restart files under the same condition, sorted the same way; empty otherwise.
std::vector<std::wstring> RestartFileNames(int physicsType, int analysisType, int futureIntent);

// The order of the host's text comparison for these names: letters compared without regard to
// case, ties broken by the character codes.
bool FileNameLess(const std::wstring& a, const std::wstring& b);
