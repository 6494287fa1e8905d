// The one place where the add-in would interrupt the user with a message box. Here the
// message goes to standard error and to an in-process log that tests can inspect.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct UserMessage {
    std::wstring title;
    std::wstring text;
};

void ShowUserMessage(std::wstring_view title, std::wstring_view text);

// Every message shown since the last clear, oldest first.
std::vector<UserMessage> UserMessageLog();
void ClearUserMessageLog();

}  // namespace platform
