// The stand-in solver's control file.
#include "control_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const StandinControl control = ReadStandinControlText(fuzz::AsText(data, size));
    if (control.modes < 0 || control.modes > kMostModes) fuzz::Broken("a mode count outside its bounds");
    return 0;
}
