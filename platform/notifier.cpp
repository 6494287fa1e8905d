// A user message written to standard error and kept in a locked log that lasts to the end of the process.
#include "platform/notifier.h"

#include <cstdio>
#include <mutex>

#include "platform/text.h"

namespace platform {
namespace {

struct Log {
    std::mutex mutex;
    std::vector<UserMessage> messages;
};

Log& TheLog() {
    static Log* log = new Log();  // never destroyed: messages may come during exit
    return *log;
}

}  // namespace

void ShowUserMessage(std::wstring_view title, std::wstring_view text) {
    Log& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    std::string line = WideToUtf8(title) + ": " + WideToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    log.messages.push_back({std::wstring(title), std::wstring(text)});
}

std::vector<UserMessage> UserMessageLog() {
    Log& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    return log.messages;
}

void ClearUserMessageLog() {
    Log& log = TheLog();
    std::lock_guard<std::mutex> lock(log.mutex);
    log.messages.clear();
}

}  // namespace platform
