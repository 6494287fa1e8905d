// The files a run leaves in the working folder: the module listing, the spy listing and
// the result description (format in docs/standin-solver.md).
#pragma once

#include <string>
#include <vector>

struct ResultSet {
    int number = 0;
    double value = 0.0;  // time, or eigenvalue in eigen runs
    int code = 0;        // step code; 999999 marks a set the add-in treats specially
};

// "dorvix_<module>.des": the result sets, with node values when nodeIds is not empty.
bool WriteResultDescription(const std::string& path, const std::string& module, bool eigen,
                            const std::vector<ResultSet>& sets, const std::vector<int>& nodeIds,
                            double nodeValue);

// Shortest text that reads back to the same double.
std::string NumberText(double value);
