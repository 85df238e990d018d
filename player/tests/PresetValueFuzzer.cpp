// The preset value parser on arbitrary text: every gain within -15..+15.

#include "player/equalizer/EQPresetData.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    using namespace vantor;
    TEQPresetData preset;
    preset.PopulatePreset(std::string_view(reinterpret_cast<char const*>(data), size));
    for (int8_t const gain : preset.pdValue)
        if (gain < kEqMinGain || gain > kEqMaxGain)
            std::abort();
    return 0;
}
