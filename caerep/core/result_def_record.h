// One result definition of the post-processing side: what result, of which kind, at which
// time or set, in which units. Written as the attributes of a "ResultDef" element.
#pragma once

#include <pugixml.hpp>
#include <string>

namespace NCAERep {

struct ResultDefRecord {
    unsigned int ResultId = 0;
    std::wstring ResultType;
    std::wstring ResultSubType;
    std::wstring Component;
    std::wstring Location;  // "Node", "Element", ...
    int SetNumber = 0;
    double Time = 0.0;
    std::wstring Units;
    std::wstring FileName;

    // Writes the fields as attributes of `element`; false when the element is null.
    bool writeXml(pugi::xml_node element) const;
    // Reads the fields present on `element`; absent ones keep their values. False when the
    // element is null or a numeric attribute does not parse (the record is then unchanged).
    bool readXml(pugi::xml_node element);

    friend bool operator==(const ResultDefRecord&, const ResultDefRecord&) = default;
};

}  // namespace NCAERep
