#pragma once

// The process-wide UI scale: logical units (what views and layout work in) times the scale
// give device pixels. Conversions round to the nearest integer, ties to the even neighbour.

namespace vantor {

double UIScale();

// Sets the scale; zero, negative and non-finite values are refused and give 1.0.
void SetUIScale(double scale);

// The scale the screen asks for when automatic scaling is on: pixels per inch / 240.
double ScaleForDpi(double dotsPerInch);

int Scale(double logical);
int Unscale(double device);

}
