// The result-definition records that two post-processing classes keep beside their
// properties: written as "ResultDef" elements ahead of the property elements.
#include <cstring>

#include "caerep/core/cae_exception.h"
#include "caerep/core/xml_append.h"
#include "caerep/core/xml_names.h"
#include "caerep/model/post_reps.h"

namespace NCAERep {

namespace {
void WriteRecord(const CCAERepBase& owner, pugi::xml_node element, const ResultDefRecord& record) {
    pugi::xml_node e;
    if (FAILED(AppendChildElement(element, L"ResultDef", e)) || !record.writeXml(e))
        throw CCAEXMLSaveException(L"XML library failed to write a ResultDef of " + owner.describe(),
                                   L"CCAERepBase::save");
}

void ReadRecord(pugi::xml_node e, ResultDefRecord& record) {
    if (!record.readXml(e))
        throw CCAEXMLResumeException(
            L"element " + DescribeElement(e) + L": a numeric attribute does not parse",
            L"CCAERepBase::resume");
}
}  // namespace

bool CResultRep::save(pugi::xml_node element) const {
    if (!element) return CCAERepBase::save(element);
    for (const ResultDefRecord& r : m_resultDefs) WriteRecord(*this, element, r);
    return CCAERepBase::save(element);
}

bool CResultRep::resume(pugi::xml_node element) {
    std::vector<ResultDefRecord> records;
    for (pugi::xml_node e : element.children("ResultDef")) {
        if (e.attribute("CAEType")) continue;
        ReadRecord(e, records.emplace_back());
    }
    m_resultDefs = std::move(records);
    return CCAERepBase::resume(element);
}

bool CFatigueResultInput::save(pugi::xml_node element) const {
    if (!element) return CCAERepBase::save(element);
    WriteRecord(*this, element, m_resultDef);
    return CCAERepBase::save(element);
}

bool CFatigueResultInput::resume(pugi::xml_node element) {
    for (pugi::xml_node e : element.children("ResultDef")) {
        if (e.attribute("CAEType")) continue;
        ReadRecord(e, m_resultDef);
        break;
    }
    return CCAERepBase::resume(element);
}

}  // namespace NCAERep
