// A model document (CAERep.xml) loaded into a full database, as the feeder loads the host's
// file; a document that loads is saved, loaded again and must then save byte for byte alike.
// A document that does not load must leave no object behind.
#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "fuzz_support.h"

namespace {

// Those of a load from file.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

std::string Saved(const NCAERep::CCAEDatabase& database) {
    pugi::xml_document document;
    database.getRoot()->saveToDocument(document);
    std::ostringstream text;
    document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    return text.str();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::InstallUnitDefinitions();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pugi::xml_document document;
    if (!document.load_buffer(data, size, kParseOptions)) return 0;
    NCAERep::CCAEDatabase database;
    const std::size_t before = database.getObjectCount();
    if (database.getRoot()->resumeFromDocument(document, L"fuzz input") == 0) {
        const std::string saved = Saved(database);
        pugi::xml_document savedDocument;
        if (!savedDocument.load_buffer(saved.data(), saved.size(), kParseOptions))
            fuzz::Broken("a saved model is no XML");
        NCAERep::CCAEDatabase again;
        if (again.getRoot()->resumeFromDocument(savedDocument, L"saved fuzz input") != 0)
            fuzz::Broken("a saved model does not load again");
        if (Saved(again) != saved) fuzz::Broken("a saved model saves differently after a load");
    } else if (database.getObjectCount() != before) {
        fuzz::Broken("a failed load left objects behind");
    }
    NCAERep::ClearCollectedCAEExceptions();
    return 0;
}
