// Thread-locale seam. Numbers are formatted and parsed without the process locale, so
// switching the thread locale has nothing to do on this platform; callers keep their
// save-and-restore code and always see the US English identifier.
#pragma once

#include <cstdint>

using LCID = std::uint32_t;

namespace platform {

constexpr LCID kUsEnglishLocale = 1033;

LCID GetThreadLocale();
// Answers the previous identifier (always 1033) and changes nothing.
LCID SetThreadLocale(LCID locale);

// Saves the thread locale, switches to `locale`, restores on destruction.
class ScopedThreadLocale {
  public:
    explicit ScopedThreadLocale(LCID locale = kUsEnglishLocale) : saved_(SetThreadLocale(locale)) {}
    ~ScopedThreadLocale() { SetThreadLocale(saved_); }
    ScopedThreadLocale(const ScopedThreadLocale&) = delete;
    ScopedThreadLocale& operator=(const ScopedThreadLocale&) = delete;

  private:
    LCID saved_;
};

}  // namespace platform
