// Functions that answer a code answer it also when something below them throws: the
// exception becomes a code and its text the reason kept for the user.
#pragma once

#include <exception>
#include <string>

#include "deck/return_codes.h"

inline void KeepFailureReason(std::string& reason, const char* text) noexcept {
    try {
        reason = text;
    } catch (...) {
        reason.clear();
    }
}

template <class Body>
[[nodiscard]] int AnswerCode(std::string& reason, int codeOnException, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& e) {
        KeepFailureReason(reason, e.what());
    } catch (...) {
        KeepFailureReason(reason, "an unexpected failure");
    }
    return codeOnException;
}
