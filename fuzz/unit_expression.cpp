// Unit expressions against the installation's unit database: the input's first three lines
// are the source expression, the target expression and the quantity type.
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "caerep/core/cae_exception.h"
#include "caerep/units/units.h"
#include "fuzz_support.h"
#include "platform/text.h"

namespace {

std::wstring NextLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return platform::Utf8ToWide(line);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::InstallUnitDefinitions();
    if (!NCAERep::CUnits::getInstance()->isLoaded()) fuzz::Broken("the unit database did not load");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::AsText(data, size);
    const std::wstring from = NextLine(text);
    const std::wstring to = NextLine(text);
    const std::wstring quantity = NextLine(text);
    const NCAERep::CUnits* units = NCAERep::CUnits::getInstance();
    std::vector<NCAERep::UnitTerm> terms;
    if (NCAERep::CUnits::tokenize(from, terms))
        for (const NCAERep::UnitTerm& t : terms)
            if (!std::isfinite(t.exponent)) fuzz::Broken("a term with an exponent that is no number");
    units->resolveExpression(quantity, from, terms);
    double out = 0.0;
    units->convert(2.5, from, to, quantity, out);
    units->convertWithoutCategory(-40.0, from, to, out);
    std::vector<double> many;
    units->convert(std::vector<double>{0.0, 1e300, -1e-300}, from, to, quantity, many);
    NCAERep::ClearCollectedCAEExceptions();
    return 0;
}
