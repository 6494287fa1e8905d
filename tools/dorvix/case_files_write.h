// The files of one case edit written together, so that the case ends with every one of them
// written or none: each file's new text is written beside it in full first; then, file by file
// in the order given, the file is replaced only if it is still the one the edit read and the
// program was not asked to stop. A file found changed, a stop signal or a failed replacement puts
// back the files already replaced (their text as read), and the new files are removed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

struct CaseFileEdit {
    std::filesystem::path path;
    platform::FileStamp stamp;           // the file as it was before the edit read it
    std::vector<std::string_view> text;  // what it is to hold, piece by piece
    std::string_view textRead;           // what it held, for putting it back
};

enum class CaseWriteOutcome { kWritten, kStopped, kChanged, kFailed };

struct CaseWriteResult {
    CaseWriteOutcome outcome = CaseWriteOutcome::kWritten;
    // Why the files were not written (the signal, the file changed, the system's reason), and
    // what the case holds now.
    std::string problem;
};

// Stop signals are those a platform::StopSignalCatcher noted. `afterReplacing` is called with
// the index of each file once it is replaced; only tests use it, to stop the program or change a
// file between two replacements.
CaseWriteResult WriteCaseFiles(const std::vector<CaseFileEdit>& files,
                               const std::function<void(std::size_t)>& afterReplacing = {});
