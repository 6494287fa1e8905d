// A deck as the stand-in solver checks it.
#include "deck_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DeckSummary summary = ReadDeckText(fuzz::AsText(data, size));
    if (summary.stepTimes.empty()) fuzz::Broken("a deck without a result set");
    return 0;
}
