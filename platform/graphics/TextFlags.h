#pragma once

#include <cstdint>

namespace vantor {

// Layout flags for drawing text inside a rectangle; combine one horizontal and one vertical
// alignment with any of the options. Left and Top are the zero defaults.
using TTextFlags = uint32_t;

inline constexpr TTextFlags tfLeft = 0x00;
inline constexpr TTextFlags tfCenter = 0x01;
inline constexpr TTextFlags tfRight = 0x02;
inline constexpr TTextFlags tfTop = 0x00;
inline constexpr TTextFlags tfVCenter = 0x04;
inline constexpr TTextFlags tfBottom = 0x08;
// Breaks lines between words to fit the rectangle's width.
inline constexpr TTextFlags tfWordBreak = 0x10;
// One line: line breaks in the text do not start new lines.
inline constexpr TTextFlags tfSingleLine = 0x20;
// Text wider than the rectangle ends in "…" so that it fits.
inline constexpr TTextFlags tfEndEllipsis = 0x40;

}
