#include "platform/locale.h"

namespace platform {

LCID GetThreadLocale() { return kUsEnglishLocale; }

LCID SetThreadLocale(LCID) { return kUsEnglishLocale; }

}  // namespace platform
