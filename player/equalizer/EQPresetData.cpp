#include "player/equalizer/EQPresetData.h"

#include <algorithm>
#include <charconv>

namespace vantor {

namespace {

std::string_view Trimmed(std::string_view text)
{
    size_t const first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A decimal integer with an optional sign filling the whole field; anything else gives 0.
int FieldGain(std::string_view field)
{
    field = Trimmed(field);
    if (field.size() > 1 && field.front() == '+' && field[1] != '-')
        field.remove_prefix(1);
    long long value = 0;
    auto const [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (end != field.data() + field.size() || field.empty())
        return 0;
    if (error == std::errc::result_out_of_range)
        return field.front() == '-' ? kEqMinGain : kEqMaxGain;
    if (error != std::errc())
        return 0;
    return static_cast<int>(std::clamp<long long>(value, kEqMinGain, kEqMaxGain));
}

}

TEqualizerGains ParsePresetValue(std::string_view value)
{
    TEqualizerGains gains {};
    for (int band = 0; band < kEqBandCount; ++band) {
        size_t const comma = value.find(',');
        gains[band] = static_cast<int8_t>(FieldGain(value.substr(0, comma)));
        if (comma == std::string_view::npos)
            break;
        value.remove_prefix(comma + 1);
    }
    return gains;
}

}
