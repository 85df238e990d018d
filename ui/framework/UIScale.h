#pragma once

// The process-wide UI scale: logical units (what views and layout work in) times the scale
// give device pixels. Conversions round to the nearest integer, ties to the even neighbour.

#include "platform/graphics/Geometry.h"

namespace vantor {

double UIScale();

// Sets the scale; zero, negative and non-finite values are refused and give 1.0.
void SetUIScale(double scale);

// The scale the screen asks for when automatic scaling is on: pixels per inch / 240.
double ScaleForDpi(double dotsPerInch);

int Scale(double logical);
int Unscale(double device);

// A rectangle converted corner by corner.
inline TRect Scale(const TRect& logical)
{
    return { Scale(logical.Left), Scale(logical.Top), Scale(logical.Right), Scale(logical.Bottom) };
}
inline TRect Unscale(const TRect& device)
{
    return { Unscale(device.Left), Unscale(device.Top), Unscale(device.Right), Unscale(device.Bottom) };
}

}
