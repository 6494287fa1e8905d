// Command snippets (raw solver commands the user attached to host objects) and the user's
// begin commands, copied into the deck at the places their keys name.
#include <string>
#include <string_view>

#include "deck/dorvix_feeder.h"
#include "deck/mesh/body_attribute_wrapper.h"
#include "foundation/number_format.h"
#include "host/data_source.h"

namespace {

// True when the line holds a command: anything but a comment decides, and so does a line of
// blanks alone (the solver reads it as an empty command).
bool LineHasCommand(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return true;
    return line[first] != '!';
}

bool TextHasCommands(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (!line.empty() && LineHasCommand(line)) return true;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return false;
}

}  // namespace

void DorvixFeeder::WriteCommandSnippet(const CommandSnippet& snippet) {
    if (!deckFile_ || snippet.text.empty()) return;
    std::string matid;
    if (snippet.key == kSnippetMaterial) {
        // A material snippet addresses its material through /matid; a material that no body
        // uses has no deck number, and the commands would address another material.
        const int body = bodyWrapper_ ? bodyWrapper_->FindBodyIndexByMaterial(snippet.objectId) : -1;
        const int number = bodyWrapper_ && body >= 0 ? bodyWrapper_->GetBodyMaterialNumber(body) : 0;
        if (number == 0) return;
        matid = "ABRE '/matid'   '";
        AppendInt(matid, number);
        matid += "'";
    }
    deckFile_->WriteLine("! ****** Begin Command Snippet ******");
    if (!matid.empty()) deckFile_->WriteLine(matid);
    deckFile_->WriteRaw(snippet.text);
    deckFile_->WriteLine("! ****** End   Command Snippet ******");
}

void DorvixFeeder::WriteObjectSnippets(int key) {
    if (!dataSource_) return;
    for (const CommandSnippet& s : dataSource_->GetCommandSnippets())
        if (s.key == key) WriteCommandSnippet(s);
}

void DorvixFeeder::WriteObjectSnippetsForKey(int key, int objectId) {
    if (!dataSource_) return;
    for (const CommandSnippet& s : dataSource_->GetCommandSnippets())
        if (s.key == key && s.objectId == objectId) WriteCommandSnippet(s);
}

void DorvixFeeder::WriteStepSnippets(int key, int step) {
    if (!dataSource_) return;
    for (const CommandSnippet& s : dataSource_->GetCommandSnippets())
        if (s.key == key && (s.step == -1 || s.step == step)) WriteCommandSnippet(s);
}

bool DorvixFeeder::SnippetHasCommands(int key, int objectId) const {
    if (!dataSource_) return false;
    for (const CommandSnippet& s : dataSource_->GetCommandSnippets())
        if (s.key == key && s.objectId == objectId && TextHasCommands(s.text)) return true;
    return false;
}

int DorvixFeeder::WriteBeginCommands() try {
    std::string text;
    if (GetNamedOption("begin_commands", text) == 1) WriteDeckLine(text);
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the begin commands");
}
