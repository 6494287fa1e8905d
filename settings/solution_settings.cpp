// Class and type comparison, the base record's save and checked resume, XML root element and its read log.
#include "settings/solution_settings.h"

#include <string>
#include <typeinfo>

#include "settings/xml_read_log.h"

namespace {
constexpr std::int32_t kBaseRecordVersion = 1;
// The smallest section: a tag and a record version.
constexpr std::size_t kMinimumSectionBytes = 8;
}  // namespace

DorvixSolutionSettings& DorvixSolutionSettings::operator=(const DorvixSolutionSettings& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

bool DorvixSolutionSettings::IsSameType(const DorvixSolutionSettings* other) const {
    return other != nullptr && other->analysisType_ == analysisType_ && other->physicsType_ == physicsType_;
}

bool DorvixSolutionSettings::IsSameClass(const DorvixSolutionSettings& other) const {
    // The types alone can be changed through the public setters; the real class decides which
    // records exist.
    return typeid(*this) == typeid(other) && IsSameType(&other);
}

void DorvixSolutionSettings::SaveBaseRecord(JXStream& stream) const {
    stream.WriteInt32(kBaseRecordVersion);
    stream.WriteUInt32(static_cast<std::uint32_t>(physicsType_));
    stream.WriteUInt32(static_cast<std::uint32_t>(analysisType_));
}

bool DorvixSolutionSettings::ResumeBaseRecord(JXStream& stream, std::uint32_t& sectionCount) const {
    std::int32_t version = 0;
    std::uint32_t physics = 0;
    std::uint32_t analysis = 0;
    if (!stream.ReadInt32(&version) || version != kBaseRecordVersion) return false;
    if (!stream.ReadUInt32(&physics) || !stream.ReadUInt32(&analysis)) return false;
    // A record of another analysis would put its sections into the wrong records.
    if (physics != static_cast<std::uint32_t>(physicsType_) ||
        analysis != static_cast<std::uint32_t>(analysisType_))
        return false;
    return stream.ReadCount(sectionCount, kMinimumSectionBytes);
}

XmlNode DorvixSolutionSettings::AppendRootElement(XmlNode element, const wchar_t* rootName) const {
    XmlNode root;
    if (FAILED(XmlCreateChildElement(XmlNode(), rootName, element, root)) ||
        FAILED(XmlSetAttribute(root, L"version", L"1")))
        return XmlNode();
    return root;
}

HRESULT DorvixSolutionSettings::ReadRootElement(XmlNode element, const wchar_t* rootName,
                                                const std::function<HRESULT(XmlNode)>& read) {
    readProblem_.clear();
    XmlNode root;
    if (XmlSelectSingleNode(element, std::wstring(L"./") + rootName, root) != S_OK || !root) {
        readProblem_ = std::wstring(rootName) + L": missing";
        return E_FAIL;
    }
    XmlReadLog log(root);
    const HRESULT result = read(root);
    readProblem_ = log.Text();
    return FAILED(result) ? E_FAIL : S_OK;
}
