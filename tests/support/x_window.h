#pragma once

// Finding and closing the game's window on an X server, for the tests that
// run the real program under a virtual display. Include after gtest: Xlib's
// macros (None, Bool, Status) would clash with it.
#include <X11/Xlib.h>

#include <string>

// The first viewable window below root whose title is the given one, or 0.
// Windows that vanish during the search are passed over.
Window findWindow(Display* d, Window root, const std::string& title);

// What a window manager sends when the window's close button is pressed.
void sendCloseRequest(Display* d, Window w);
