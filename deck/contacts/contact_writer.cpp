// The contact section of the deck: ties, contact elements and contact properties between the
// sides of the host's contact regions, and the constraint equations some regions stand for.
#include <algorithm>
#include <string>
#include <vector>

#include "deck/addin_utilities.h"
#include "deck/deck_counters.h"
#include "deck/dorvix_feeder.h"
#include "foundation/analysis_kind.h"
#include "foundation/number_format.h"
#include "host/data_source.h"
#include "host/object_model.h"
#include "host/object_types.h"
#include "platform/text.h"
#include "runtime/addin_services.h"
#include "runtime/progress.h"

namespace {

constexpr const wchar_t* kOptionsSubkey = L"Contacts Default Options";
// The registry values are read into a buffer of this many characters, terminator included.
constexpr std::size_t kOptionBuffer = 260;

// sprintf's "%g": six significant digits.
std::string Short(double value) { return FormatSignificant(value, 6); }

// The regions in writing order: outside tie-only mode the constraint equations come first.
std::vector<const ContactRegionRecord*> WritingOrder(const ContactList& list, bool tieOnly) {
    std::vector<const ContactRegionRecord*> order;
    for (const ContactRegionRecord& region : list.regions) order.push_back(&region);
    if (!tieOnly) {
        std::stable_partition(order.begin(), order.end(), [](const ContactRegionRecord* region) {
            return DorvixFeeder::IsAveragingEquation(*region) || DorvixFeeder::IsWeightingEquation(*region);
        });
    }
    return order;
}

// " DMIN <offset>", with " UN3 1" unless the region has a butee child; nothing when the
// region writes no offset.
std::string OffsetPart(const ContactRegionRecord& region, bool butee) {
    if (region.offsetMode == 1) return {};
    return " DMIN " + Short(region.offset) + (butee ? "" : " UN3 1");
}

// The contact properties' offset: a stop ("BUTEE") or a clearance ("L", negated).
std::string PropertyOffsetPart(const ContactRegionRecord& region, bool butee) {
    if (region.offsetMode == 1) return {};
    return butee ? " BUTEE " + Short(region.offset) : " L " + Short(-region.offset);
}

bool EqualsIgnoringCase(const std::wstring& text, std::wstring_view lower) {
    return std::equal(text.begin(), text.end(), lower.begin(), lower.end(), [](wchar_t a, wchar_t b) {
        return (a >= L'A' && a <= L'Z' ? static_cast<wchar_t>(a - L'A' + L'a') : a) == b;
    });
}

}  // namespace

int DorvixFeeder::WriteContacts() try {
    const ContactList* list = dataSource_ ? dataSource_->GetContactPairs() : nullptr;
    if (!list) {
        PostHostMessage(L"The host gives no contact list", L"Error");
        return kRC_MissingData;
    }
    const int count = list->GetCount();
    if (count < 1) return kRC_Success;
    if (!deckFile_ || !meshWrapper_) return kRC_MissingData;
    const bool tieOnly = analysisKind_ == kAnalysisEigen || IsPrestressedModalIntent();
    const std::vector<const ContactRegionRecord*> order = WritingOrder(*list, tieOnly);
    for (int k = 1; k <= count; ++k) {
        bool written = false;
        if (const int code = WriteContactRegion(*order[static_cast<std::size_t>(k - 1)], tieOnly, written);
            code != kRC_Success)
            return code;
        if (written && ::ReportProgress(70 + (15 * k) / count, kProgressDeckWriting) == 0)
            return kRC_Cancelled;
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the contacts");
}

int DorvixFeeder::WriteContactRegion(const ContactRegionRecord& region, bool tieOnly, bool& written) {
    written = false;
    if (!deckFile_ || !meshWrapper_) return kRC_MissingData;
    const bool butee = HasButeeChild(region.hostObjectId);
    deckFile_->WriteLine("!-----------------------------");
    deckFile_->WriteLine("! Load/BC : " + region.name);
    deckFile_->WriteLine("!-----------------------------");
    if (!tieOnly && (IsAveragingEquation(region) || IsWeightingEquation(region))) {
        const int code =
            IsAveragingEquation(region) ? WriteAveragingEquation(region) : WriteWeightingEquations(region);
        written = code == kRC_Success;
        return code;
    }
    const auto& target = region.target.references;
    if (target.empty() || (target.front().kind & (kJXReferenceEdge | kJXReferenceFace)) == 0)
        return kRC_Success;

    int nodeGroup = 0;
    int faceGroup = 0;
    if (const int code = WriteContactGroups(region, nodeGroup, faceGroup); code != kRC_Success) return code;
    std::string command;
    if (const int code = BuildContactCommand(region, tieOnly, butee, nodeGroup, faceGroup, command);
        code != kRC_Success)
        return code;
    if (SnippetHasCommands(kSnippetContact, region.hostObjectId)) {
        deckFile_->WriteLine(command);
        WriteObjectSnippetsForKey(kSnippetContact, region.hostObjectId);
    } else {
        const std::string option = ContactOptionText(region.contactType, tieOnly);
        if (!option.empty()) command += " " + option;
        deckFile_->WriteLine(command);
    }
    written = true;
    return kRC_Success;
}

int DorvixFeeder::BuildContactCommand(const ContactRegionRecord& region, bool tieOnly, bool butee,
                                      int nodeGroup, int faceGroup, std::string& command) const {
    const bool nonLinear = nonLinearFlag_ == 1;
    const std::string groups = std::to_string(nodeGroup) + " " + std::to_string(faceGroup);
    const auto element = [nodeGroup, faceGroup] {
        return ".MCT I " + std::to_string(NextContactElementNumber()) + " GROUP " +
               std::to_string(nodeGroup) + " GTAR " + std::to_string(faceGroup);
    };
    if (tieOnly || region.contactType == 1) {
        command = ".STI I " + std::to_string(NextTieNumber()) + " GROUP " + groups;
        return kRC_Success;
    }
    switch (region.contactType) {
        case 2:
            if (nonLinear) {
                command = element() + OffsetPart(region, butee);
            } else {
                command = ".CPS GROUPS " + groups + " NOM \"" + region.name + "\"";
                if (region.referenceFlag == 1) command += " REFERENCE " + Short(region.referenceValue);
                command += PropertyOffsetPart(region, butee);
            }
            return kRC_Success;
        case 3:
            command = nonLinear ? element() + OffsetPart(region, butee) + " CF " + Short(region.friction)
                                : ".CPS GROUPS " + groups + " FRICTION " + Short(region.friction);
            return kRC_Success;
        case 4:
            command = nonLinear ? element() + OffsetPart(region, butee) + " OPFR 2" : std::string();
            return kRC_Success;
        case 5:
            command = nonLinear ? element() + " OPCO 2" : std::string();
            return kRC_Success;
        default:
            return kRC_MissingData;
    }
}

std::string DorvixFeeder::ContactOptionText(int contactType, bool tieOnly) const {
    const bool nonLinear = nonLinearFlag_ == 1;
    const wchar_t* value = nullptr;
    const char* builtIn = nullptr;
    if (tieOnly || contactType == 1) {
        value = L"STI";
        builtIn = "PROJ 0";
    } else if (nonLinear) {
        value = L"MCT";
        builtIn = "PROJ 0 UN2 1 KSMO 1";
    } else if (contactType == 2 || contactType == 3) {
        value = L"CPS";
        builtIn = "PROJ 0";
    } else {
        return {};
    }
    wchar_t buffer[kOptionBuffer] = {};
    if (FAILED(GetAddinDirectory(kOptionsSubkey, value, buffer, kOptionBuffer))) return builtIn;
    return platform::WideToUtf8(buffer);
}

bool DorvixFeeder::HasButeeChild(int hostObjectId) const {
    AddinServices& services = AddinServices::GetInstance();
    for (int child : services.GetObjectIdList(hostObjectId, kHostAttachedObjectType)) {
        ComPtr<IUnknown> object = services.GetObjectById(child);
        ComPtr<IHostObject> named = object ? object.As<IHostObject>() : ComPtr<IHostObject>();
        std::wstring name;
        if (named && SUCCEEDED(named->GetName(name)) && EqualsIgnoringCase(name, L"butee")) return true;
    }
    return false;
}
