// The file-backed host's side of an analysis-settings object beyond its tree of objects: the
// recorder of settings-change notifications, the XML element a settings object writes into, and
// the reader of the analysis members of host.json's "objects" entries.
#pragma once

#include <memory>
#include <pugixml.hpp>

#include "host/analysis_host.h"
#include "hostsim/call_log.h"
#include "hostsim/host_case.h"

class JsonAt;

// Answers IHostSettingsCallback; records each notification ("settings changed (11)").
ComPtr<IHostSettingsCallback> CreateHostSimSettingsCallback(std::shared_ptr<HostSimCallLog> log);

// Answers exactly one of the three element-source interfaces (`which` 1, 2 or 3 for
// IHostXmlElementSource, ...2, ...3) with `element`, keeping its document alive. Null when
// `which` is none of them, or the element is not an element node of `document`.
ComPtr<IUnknown> CreateHostSimXmlElementSource(std::shared_ptr<pugi::xml_document> document,
                                               pugi::xml_node element, int which);

// Reads the analysis members of every "objects" entry into the objects already read from the
// same entries, and checks what they name.
void ReadAnalysisObjectMembers(const JsonAt& root, HostSimCase& hostCase);
