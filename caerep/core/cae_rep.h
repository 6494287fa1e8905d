// The root object of a representation ("CAERep"): loads a whole model document into its
// database, writes it back, and posts messages.
#pragma once

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "caerep/core/cae_rep_base.h"

namespace NCAERep {

class CCAEException;

class CCAERep : public CCAERepBase {
  public:
    explicit CCAERep(const CIdentity& identity) : CCAERepBase(identity) {}

    // How deep objects may nest in a document, the document element being the first level. A
    // model nests a handful of levels; a deeper document is refused before anything is read.
    static constexpr int kMaxObjectDepth = 256;

    void initialize() override;

    // Loads the document into this root's database. 0 on success; a negative answer when the
    // file cannot be read, is malformed or holds bad content: the objects the load created are
    // removed again, the failure is collected (RaiseOrCollect) and kept in getLastError.
    [[nodiscard]] int resumeFromFile(const std::filesystem::path& path);
    // The same for a document already in memory; `source` names it in messages.
    [[nodiscard]] int resumeFromDocument(const pugi::xml_document& document, const std::wstring& source);
    // Writes the whole representation. The file is written beside the target and renamed over
    // it, so a failed save leaves an earlier file as it was. CCAEXMLSaveException on failure.
    void saveToFile(const std::filesystem::path& path) const;
    // The document as saveToFile writes it.
    void saveToDocument(pugi::xml_document& document) const;
    // Adds a "Message" child with the properties "Text" and "Type".
    CCAERepBase* addMessage(const std::wstring& text, const std::wstring& type);

    // The failure of the last resume, or null after a successful one.
    const CCAEException* getLastError() const { return m_lastError.get(); }

  private:
    [[nodiscard]] int fail(const CCAEException& error);
    std::shared_ptr<CCAEException> m_lastError;
};

}  // namespace NCAERep
