// Why a settings document could not be read in full.
//
// A settings object opens a log around the reading of its root element. While it is open, the
// element readers of the settings XML note in it every element they cannot read, with the
// element's path below the root and the reason, for example "StepControls[2]/EndTime: not a
// number". The caller of ReadXML can then show what kept a stored document from being read,
// also when a reader passed over the problem. The readers run on the host's calling thread
// only, so the open log is found per thread; readers used without an open log note nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/xml.h"
#include "platform/com.h"

class XmlReadLog {
  public:
    explicit XmlReadLog(XmlNode root);
    ~XmlReadLog();
    XmlReadLog(const XmlReadLog&) = delete;
    XmlReadLog& operator=(const XmlReadLog&) = delete;

    // The problems in the order they were met, joined by "; "; empty when there were none.
    std::wstring Text() const;

    // Notes on the open log that the element `relative` (an XPath below `context`, or empty for
    // the context itself) cannot be read, and why. Always E_FAIL, so that a reader can answer
    // with it.
    [[nodiscard]] static HRESULT Note(XmlNode context, std::string_view relative, std::wstring_view why);

  private:
    // The path of `node` below the root, with a 1-based position where siblings share a name.
    std::wstring PathOf(XmlNode node) const;

    XmlNode root_;
    std::vector<std::wstring> problems_;
    XmlReadLog* outer_;
};
