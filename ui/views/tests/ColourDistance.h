#pragma once

// How far apart two painted colours are: the sum of the red, green and blue differences
// (alpha ignored). Render tests take a few units as "the same colour".

#include <cstdint>
#include <cstdlib>

namespace vantor::testing {

inline int ColourDistance(uint32_t a, uint32_t b)
{
    int sum = 0;
    for (int shift : { 0, 8, 16 })
        sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum;
}

}
