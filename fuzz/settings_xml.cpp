// The analysis settings read from their XML form (the model's "AnalysisSettings" element) by
// every settings class. A refused document must leave the object as it was; an accepted one
// is written out and must read back to the same text.
#include <string>

#include "foundation/xml.h"
#include "fuzz_support.h"
#include "settings_classes.h"

namespace {

std::string WriteText(const DorvixSolutionSettings& settings) {
    XmlDocument document;
    if (FAILED(document.LoadFromText("<AnalysisSettings/>")))
        fuzz::Broken("an empty document cannot be made");
    if (FAILED(settings.WriteXML(document.Root()))) fuzz::Broken("settings that were read cannot be written");
    return document.SaveString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XmlDocument document;
    if (FAILED(document.LoadFromText(fuzz::AsText(data, size)))) return 0;
    auto fresh = fuzz::EverySettingsClass();
    auto read = fuzz::EverySettingsClass();
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (FAILED(read[i]->ReadXML(document.Root()))) {
            if (!read[i]->IsEqual(*fresh[i])) fuzz::Broken("a refused document changed the settings");
            continue;
        }
        const std::string written = WriteText(*read[i]);
        XmlDocument again;
        if (FAILED(again.LoadFromText(written)) || FAILED(fresh[i]->ReadXML(again.Root())))
            fuzz::Broken("written settings are refused");
        if (WriteText(*fresh[i]) != written) fuzz::Broken("written settings read back differently");
    }
    return 0;
}
