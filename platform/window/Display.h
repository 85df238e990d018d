#pragma once

namespace vantor {

// Horizontal pixels per inch of the primary display; 96 when it cannot be found (no display,
// or a driver that does not report it).
double ScreenDpi();

}
