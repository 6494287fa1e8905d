// Handing a deck's records to the scanner, from memory or from the file in large blocks; room temperature.
#include "deck_reader.h"

#include <cstring>
#include <fstream>

#include "deck_scanner.h"

namespace {

// Large enough that a read costs little beside the checks of its records.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

// Hands every complete record of [begin, end) to the scanner; answers where the unfinished
// last record begins.
const char* TakeRecords(const char* begin, const char* end, DeckScanner& scanner) {
    while (begin != end) {
        const void* found = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
        if (!found) break;
        const char* lineEnd = static_cast<const char*>(found);
        scanner.Record(std::string_view(begin, static_cast<std::size_t>(lineEnd - begin)));
        begin = lineEnd + 1;
    }
    return begin;
}

}  // namespace

double RoomTemperature(DeckTemperatureUnit unit) {
    switch (unit) {
        case DeckTemperatureUnit::kCelsius:
            return 22.0;
        case DeckTemperatureUnit::kFahrenheit:
            return 71.6;
        case DeckTemperatureUnit::kKelvin:
            break;
    }
    return 295.15;
}

DeckSummary ReadDeckText(std::string_view text) {
    DeckScanner scanner;
    const char* rest = TakeRecords(text.data(), text.data() + text.size(), scanner);
    // A last record without a line end still counts.
    if (rest != text.data() + text.size())
        scanner.Record(std::string_view(rest, static_cast<std::size_t>(text.data() + text.size() - rest)));
    return scanner.Finish();
}

DeckSummary ReadDeck(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        DeckSummary summary;
        summary.problems.push_back("cannot read the deck " + path);
        return summary;
    }
    DeckScanner scanner;
    // The buffer holds the unfinished record of the last block, then the next block; it grows
    // only for a record longer than a block.
    std::string buffer(kBlockSize, '\0');
    std::size_t kept = 0;
    for (;;) {
        if (buffer.size() - kept < kBlockSize) buffer.resize(kept + kBlockSize);
        in.read(buffer.data() + kept, static_cast<std::streamsize>(buffer.size() - kept));
        const std::size_t filled = kept + static_cast<std::size_t>(in.gcount());
        if (filled == kept) break;
        const char* rest = TakeRecords(buffer.data(), buffer.data() + filled, scanner);
        kept = static_cast<std::size_t>(buffer.data() + filled - rest);
        std::memmove(buffer.data(), rest, kept);
    }
    if (in.bad()) {
        DeckSummary summary;
        summary.problems.push_back("cannot read the deck " + path);
        return summary;
    }
    if (kept != 0) scanner.Record(std::string_view(buffer.data(), kept));
    return scanner.Finish();
}
