// The analysis settings read from their tagged binary records (ResumeDB, the host's project
// stream) by every settings class. A refused stream must leave the object as it was; an
// accepted one is saved and must resume to the same bytes.
#include <vector>

#include "foundation/jx_stream.h"
#include "fuzz_support.h"
#include "settings_classes.h"

namespace {

std::vector<std::uint8_t> Save(const DorvixSolutionSettings& settings) {
    JXMemoryChannel channel;
    JXStream stream(channel);
    stream.BeginWrite();
    if (FAILED(settings.SaveDB(stream))) fuzz::Broken("settings that were resumed cannot be saved");
    return channel.Bytes();
}

HRESULT Resume(DorvixSolutionSettings& settings, std::vector<std::uint8_t> bytes) {
    JXMemoryChannel channel(std::move(bytes));
    JXStream stream(channel);
    if (!stream.BeginRead()) return E_FAIL;
    return settings.ResumeDB(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> input(data, data + size);
    auto fresh = fuzz::EverySettingsClass();
    auto read = fuzz::EverySettingsClass();
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (FAILED(Resume(*read[i], input))) {
            if (!read[i]->IsEqual(*fresh[i])) fuzz::Broken("a refused stream changed the settings");
            continue;
        }
        const std::vector<std::uint8_t> saved = Save(*read[i]);
        if (FAILED(Resume(*fresh[i], saved))) fuzz::Broken("saved settings are refused");
        if (Save(*fresh[i]) != saved) fuzz::Broken("saved settings resume differently");
    }
    return 0;
}
