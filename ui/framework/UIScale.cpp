#include "ui/framework/UIScale.h"

#include <cmath>

namespace vantor {

namespace {

double g_scale = 1.0;

// std::nearbyint rounds in the current mode, which the program never changes from the
// default round-to-nearest-even.
int RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    double const rounded = std::nearbyint(value);
    if (rounded >= 2147483647.0)
        return 2147483647;
    if (rounded <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<int>(rounded);
}

}

double UIScale() { return g_scale; }

void SetUIScale(double scale) { g_scale = (std::isfinite(scale) && scale > 0.0) ? scale : 1.0; }

double ScaleForDpi(double dotsPerInch)
{
    if (!std::isfinite(dotsPerInch) || dotsPerInch <= 0.0)
        return 96.0 / 240.0;
    return dotsPerInch / 240.0;
}

int Scale(double logical) { return RoundHalfEven(logical * g_scale); }

int Unscale(double device) { return RoundHalfEven(device / g_scale); }

}
