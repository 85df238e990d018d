#pragma once

#include <cstdint>

namespace vantor {

// Modifier and button state of an input event, as a bit set.
using TShiftState = uint16_t;

enum : TShiftState {
    ssShift = 1 << 0,
    ssAlt = 1 << 1,
    ssCtrl = 1 << 2,
    ssLeft = 1 << 3,
    ssRight = 1 << 4,
    ssMiddle = 1 << 5,
    ssDouble = 1 << 6,
};

enum TMouseButton : uint8_t {
    mbLeft,
    mbRight,
    mbMiddle,
};

// Pointer shapes the window can show.
enum class TCursorShape : uint8_t {
    crArrow,
    crSizeNWSE, // diagonal, north-west to south-east
    crSizeNESW, // diagonal, north-east to south-west
    crSizeNS,   // vertical
    crSizeWE,   // horizontal
};

// What a point of the borderless window means to the window manager.
enum class TWindowHit : uint8_t {
    whNormal,
    whDraggable, // pressing here moves the window
    whResizeLeft,
    whResizeRight,
    whResizeTop,
    whResizeTopLeft,
    whResizeTopRight,
    whResizeBottom,
    whResizeBottomLeft,
    whResizeBottomRight,
};

}
