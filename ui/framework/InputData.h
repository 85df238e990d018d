#pragma once

#include "platform/window/InputTypes.h"

#include <cstdint>

namespace vantor {

// The event record handed to every mouse and key operation of a control.
struct TInputData {
    TMouseButton idButton = mbLeft;
    TShiftState idShift = 0;
    // Pointer position in logical units; local to the receiving control once its dispatch
    // operation has run.
    int32_t idXPos = 0;
    int32_t idYPos = 0;
    uint16_t idKey = 0; // not set for mouse events
    // Wheel delta of the last wheel message: multiples of 120, positive away from the user.
    int32_t idDirection = 0;
};

static_assert(sizeof(TInputData) == 20);

}
