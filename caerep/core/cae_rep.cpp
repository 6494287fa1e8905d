// Loading a model document (ids and nesting checked first, rolled back on failure), saving it, and messages.
#include "caerep/core/cae_rep.h"

#include <cstring>
#include <sstream>
#include <unordered_set>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/xml_names.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace NCAERep {

namespace {

constexpr const wchar_t* kResumeFunction = L"CCAERep::resumeFromFile";

// Checks every object id of the document before anything is created, so a duplicate is
// reported without touching the database, and answers the largest id. Nesting is checked in
// the same pass: resume, save, copy and the searches below an object recurse once per level,
// and a document nested too deep would run them off the stack.
bool ScanObjectIds(pugi::xml_node root, int& maxId, std::size_t& count, std::wstring& problem) {
    std::unordered_set<int> seen;
    std::vector<std::pair<pugi::xml_node, int>> stack{{root, 1}};
    maxId = 0;
    while (!stack.empty()) {
        const auto [e, depth] = stack.back();
        stack.pop_back();
        if (depth > CCAERep::kMaxObjectDepth) {
            problem = L"element " + DescribeElement(e) + L": objects nest more than " +
                      std::to_wstring(CCAERep::kMaxObjectDepth) + L" levels deep";
            return false;
        }
        int value = 0;
        if (!ReadIdAttribute(e, value)) {
            problem = L"element " + DescribeElement(e) + L": object without a valid integer Id";
            return false;
        }
        if (!seen.insert(value).second) {
            problem = L"element " + DescribeElement(e) + L": duplicate Id " + std::to_wstring(value);
            return false;
        }
        maxId = std::max(maxId, value);
        for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element) continue;
            pugi::xml_attribute kind = c.first_attribute();
            if (kind && std::strcmp(kind.name(), "CAEType") != 0) kind = c.attribute("CAEType");
            if (kind && std::strcmp(kind.value(), "object") == 0) stack.emplace_back(c, depth + 1);
        }
    }
    count = seen.size();
    return true;
}

}  // namespace

void CCAERep::initialize() {
    setTypeName(L"CAERep");
    CCAERepBase::initialize();
}

int CCAERep::fail(const CCAEException& error) {
    m_lastError = error.clone();
    RaiseOrCollect(error, 1);
    return -1;
}

int CCAERep::resumeFromFile(const std::filesystem::path& path) {
    std::wstring source = platform::WideFromPath(path);
    if (!platform::FileExists(path))
        return fail(
            CCAEXMLResumeException(L"file " + source + L": the file does not exist", kResumeFunction));
    pugi::xml_document document;
    pugi::xml_parse_result parsed =
        document.load_file(path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed) {
        return fail(CCAEXMLResumeException(L"file " + source + L": malformed XML at byte " +
                                               std::to_wstring(parsed.offset) + L": " +
                                               platform::Utf8ToWide(parsed.description()),
                                           kResumeFunction));
    }
    return resumeFromDocument(document, source);
}

int CCAERep::resumeFromDocument(const pugi::xml_document& document, const std::wstring& source) {
    m_lastError.reset();
    pugi::xml_node top = document.document_element();
    if (!top)
        return fail(CCAEXMLResumeException(L"file " + source + L": no document element", kResumeFunction));
    pugi::xml_attribute kind = top.attribute("CAEType");
    if (!kind || std::strcmp(kind.value(), "object") != 0)
        return fail(CCAEXMLResumeException(L"file " + source + L", element " + DescribeElement(top) +
                                               L": the document element is no CAE object",
                                           kResumeFunction));
    int maxId = 0;
    std::size_t count = 0;
    std::wstring problem;
    if (!ScanObjectIds(top, maxId, count, problem))
        return fail(CCAEXMLResumeException(L"file " + source + L", " + problem, kResumeFunction));

    CCAEDatabase* db = getDatabase();
    const int rootId = getId();
    // Ids the database hands out while loading (fixed children) must not meet ids of the file.
    db->reserveIdsUpTo(maxId);
    db->reserve(count);
    db->beginJournal();
    try {
        resume(top);
    } catch (const CCAEException& e) {
        db->rollbackJournal();
        db->changeId(this, rootId);
        return fail(CCAEXMLResumeException(L"file " + source + L", " + e.getMessage(), kResumeFunction));
    } catch (const std::exception& e) {
        db->rollbackJournal();
        db->changeId(this, rootId);
        return fail(CCAEXMLResumeException(L"file " + source + L": " + platform::Utf8ToWide(e.what()),
                                           kResumeFunction));
    }
    db->endJournal();
    return 0;
}

void CCAERep::saveToDocument(pugi::xml_document& document) const {
    pugi::xml_node decl = document.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    save(AppendNamedElement(document, objectName(), platform::WideToUtf8(typeName()).c_str()));
}

void CCAERep::saveToFile(const std::filesystem::path& path) const {
    pugi::xml_document document;
    saveToDocument(document);
    std::ostringstream text;
    document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    // Replaces the file only once every byte is written, and says why it could not.
    std::string error;
    if (!platform::WriteFileReplacing(path, text.str(), &error))
        throw CCAEXMLSaveException(platform::Utf8ToWide(error), L"CCAERep::saveToFile");
}

CCAERepBase* CCAERep::addMessage(const std::wstring& text, const std::wstring& type) {
    CCAEDatabase* db = getDatabase();
    CCAERepBase* message = db->createNew(CIdentity(L"Message", L"Message", db->NextId()));
    addObject(message);
    CPropertyValue t;
    t.setValue(text);
    message->setOrAddProperty(L"Text", t);
    CPropertyValue k;
    k.setValue(type);
    message->setOrAddProperty(L"Type", k);
    return message;
}

}  // namespace NCAERep
