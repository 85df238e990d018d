#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// A font as themes describe it: family, size in points at UI scale 1.0, ARGB colour, style.
struct TFont {
    std::string Name = "Open Sans";
    int Size = 12;
    uint32_t Color = 0xFFF1F1F1;
    bool Bold = false;
    bool Italic = false;

    friend bool operator==(const TFont&, const TFont&) = default;
};

}
