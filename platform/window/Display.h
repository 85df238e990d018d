#pragma once

namespace vantor {

// Horizontal pixels per inch of the primary display; 96 when it cannot be found (no display,
// or a driver that does not report it). When it has to connect to the display for this, the
// connection stays open until the next TSdlWindow takes it over: connecting again for the
// window would set up the connection and the keyboard's input method a second time.
double ScreenDpi();

// Gives up the display connection ScreenDpi kept open, if any; a window calls it once it
// holds the display itself.
void ReleaseScreenDpiDisplay();

}
