// How the command line names a run code: the number, then every name and meaning the table of
// codes gives it (deck/return_codes.h).
#pragma once

#include <string>

// "39 (kRC_DataMismatch: imported or tabular ...)"; a number with several names lists each.
std::string DescribeRunCode(int code);
