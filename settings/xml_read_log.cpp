// The thread's open log, element paths with positions below the root, and the first few problems as one text.
#include "settings/xml_read_log.h"

#include "foundation/text.h"
#include "platform/text.h"

namespace {

thread_local XmlReadLog* openLog = nullptr;

// A long document can hold the same fault in every step; the first few tell the story.
constexpr std::size_t kProblemsShown = 5;

// An XPath as the reader of the message wants it: its element names, without "./", conditions
// or "text()".
std::wstring ReadablePath(std::string_view xpath) {
    std::string plain;
    int depth = 0;
    for (char c : xpath) {
        if (c == '[') ++depth;
        if (depth == 0) plain.push_back(c);
        if (c == ']') --depth;
    }
    std::string out;
    std::size_t start = 0;
    while (start <= plain.size()) {
        std::size_t end = plain.find('/', start);
        if (end == std::string::npos) end = plain.size();
        const std::string_view step(plain.data() + start, end - start);
        if (!step.empty() && step != "." && step != "text()") {
            if (!out.empty()) out.push_back('/');
            out.append(step);
        }
        start = end + 1;
    }
    return platform::Utf8ToWide(out);
}

}  // namespace

XmlReadLog::XmlReadLog(XmlNode root) : root_(root), outer_(openLog) { openLog = this; }

XmlReadLog::~XmlReadLog() { openLog = outer_; }

std::wstring XmlReadLog::Text() const {
    std::wstring text;
    for (std::size_t i = 0; i < problems_.size() && i < kProblemsShown; ++i) {
        if (i > 0) text += L"; ";
        text += problems_[i];
    }
    if (problems_.size() > kProblemsShown)
        text += L"; and " + std::to_wstring(problems_.size() - kProblemsShown) + L" more";
    return text;
}

HRESULT XmlReadLog::Note(XmlNode context, std::string_view relative, std::wstring_view why) {
    if (openLog == nullptr) return E_FAIL;
    std::wstring path = openLog->PathOf(context);
    const std::wstring below = ReadablePath(relative);
    if (!path.empty() && !below.empty()) path += L'/';
    path += below;
    if (path.empty()) path = XmlGetName(openLog->root_);
    openLog->problems_.push_back(path + L": " + std::wstring(why));
    return E_FAIL;
}

std::wstring XmlReadLog::PathOf(XmlNode node) const {
    if (node && node.type() != pugi::node_element) node = node.parent();
    std::wstring path;
    for (; node && node.type() == pugi::node_element && node != root_; node = node.parent()) {
        std::wstring step = XmlGetName(node);
        int position = 0;
        int count = 0;
        for (XmlNode same = node.parent().child(node.name()); same; same = same.next_sibling(node.name())) {
            ++count;
            if (same == node) position = count;
        }
        if (count > 1) step += L"[" + std::to_wstring(position) + L"]";
        path = path.empty() ? step : step + L"/" + path;
    }
    return path;
}
