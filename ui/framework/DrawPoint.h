#pragma once

#include "platform/graphics/Geometry.h"
#include "ui/framework/UIScale.h"

namespace vantor {

// A place a view draws into, in logical units.
struct TDrawPoint {
    int dpLeft = 0;
    int dpTop = 0;
    int dpWidth = 0;
    int dpHeight = 0;

    TRect Rect() const { return TRect::FromSize(dpLeft, dpTop, dpWidth, dpHeight); }

    // The rectangle in device pixels, each edge converted on its own.
    TRect DeviceRect() const
    {
        return { Scale(dpLeft), Scale(dpTop), Scale(dpLeft + dpWidth), Scale(dpTop + dpHeight) };
    }

    // A width x height rectangle centred in this one (logical units); the halves truncate
    // toward zero, so odd leftovers go to the right and bottom.
    TRect Centered(int width, int height) const
    {
        int const left = dpLeft + dpWidth / 2 - width / 2;
        int const top = dpTop + dpHeight / 2 - height / 2;
        return TRect::FromSize(left, top, width, height);
    }

    friend bool operator==(const TDrawPoint&, const TDrawPoint&) = default;
};

}
