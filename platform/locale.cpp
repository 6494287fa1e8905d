// The thread-locale calls as no-ops that always answer the US English identifier.
#include "platform/locale.h"

namespace platform {

LCID GetThreadLocale() { return kUsEnglishLocale; }

LCID SetThreadLocale(LCID) { return kUsEnglishLocale; }

}  // namespace platform
