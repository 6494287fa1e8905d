// The member line of a numbered selection group: "  I" and " <id>" per id, written with
// DorvixDeckFile::WriteLongLine so that a long list is cut into continued records.
#pragma once

#include <string>

#include "foundation/number_format.h"

template <class Ids>
std::string IdListLine(const Ids& ids) {
    std::string line = "  I";
    for (int id : ids) {
        line.push_back(' ');
        AppendInt(line, id);
    }
    return line;
}
