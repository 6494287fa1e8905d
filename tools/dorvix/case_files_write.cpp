// Writing a case edit's files beside them, then replacing them one by one with each checked just before,
// putting back on failure.
#include "tools/dorvix/case_files_write.h"

#include "platform/files.h"
#include "platform/stop_signals.h"

namespace {

// Puts back the first `count` files; the end of the message: `unchanged` when every one is back,
// else which one still holds the edit.
std::string PutBack(const std::vector<CaseFileEdit>& files, std::size_t count, const std::string& unchanged) {
    for (std::size_t i = count; i-- > 0;) {
        std::string reason;
        if (!platform::WriteFileReplacing(files[i].path, files[i].textRead, &reason))
            return "; " + files[i].path.string() + " already holds the edit and cannot be put back (" +
                   reason + ")";
    }
    return "; " + unchanged;
}

}  // namespace

CaseWriteResult WriteCaseFiles(const std::vector<CaseFileEdit>& files,
                               const std::function<void(std::size_t)>& afterReplacing) {
    constexpr const char* kUnchanged = "the case is unchanged";
    std::vector<platform::PendingReplacement> pending(files.size());
    std::string problem;
    for (std::size_t i = 0; i < files.size(); ++i) {
        bool written = pending[i].Create(files[i].path, &problem);
        for (std::size_t p = 0; written && p < files[i].text.size(); ++p)
            written = pending[i].Write(files[i].text[p], &problem);
        if (!written) return {CaseWriteOutcome::kFailed, problem + "; " + kUnchanged};
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        platform::FileStamp now;
        if (const int signal = platform::StopSignalArrived(); signal != 0)
            return {CaseWriteOutcome::kStopped,
                    "stopped by " + platform::SignalName(signal) + PutBack(files, i, kUnchanged)};
        // Another program's file is never replaced by one made from what it held before.
        if (!platform::ReadFileStamp(files[i].path, now) || now != files[i].stamp)
            return {CaseWriteOutcome::kChanged, files[i].path.string() + " changed since the edit read it" +
                                                    PutBack(files, i, "the edit was not written")};
        if (!pending[i].Commit(&problem))
            return {CaseWriteOutcome::kFailed, problem + PutBack(files, i, kUnchanged)};
        if (afterReplacing) afterReplacing(i);
    }
    return {};
}
