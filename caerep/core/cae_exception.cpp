// The failure's composed message, and the process-wide list of failures collected under a nonzero code.
#include "caerep/core/cae_exception.h"

#include <mutex>

#include "platform/text.h"

namespace NCAERep {

namespace {
// The system runs on the host's calling thread; the mutex only keeps a stray second thread
// (a test runner, a host callback) from corrupting the list.
std::mutex& CollectedMutex() {
    static std::mutex m;
    return m;
}
std::vector<std::shared_ptr<CCAEException>>& CollectedList() {
    static std::vector<std::shared_ptr<CCAEException>> list;
    return list;
}
}  // namespace

CCAEException::CCAEException(std::wstring message, std::wstring function, int code)
    : m_message(std::move(message)), m_function(std::move(function)), m_code(code) {
    m_what = platform::WideToUtf8(m_function.empty() ? m_message : m_function + L": " + m_message);
}

void RaiseOrCollect(const CCAEException& exception, int code) {
    if (code == 0) exception.raise();
    auto copy = exception.clone();
    copy->setCode(code);
    std::lock_guard lock(CollectedMutex());
    CollectedList().push_back(std::move(copy));
}

std::vector<std::shared_ptr<CCAEException>> GetCollectedCAEExceptions() {
    std::lock_guard lock(CollectedMutex());
    return CollectedList();
}

std::size_t GetCollectedCAEExceptionCount() {
    std::lock_guard lock(CollectedMutex());
    return CollectedList().size();
}

void ClearCollectedCAEExceptions() {
    std::lock_guard lock(CollectedMutex());
    CollectedList().clear();
}

}  // namespace NCAERep
