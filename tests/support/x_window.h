#pragma once

// Finding and closing the game's window on an X server, for the tests that
// run the real program under a virtual display. Include after gtest: Xlib's
// macros (None, Bool, Status) would clash with it.
#include <X11/Xlib.h>

#include <string>

// The first viewable window below root whose title is the given one, or 0.
// Windows that vanish during the search are passed over.
Window findWindow(Display* d, Window root, const std::string& title);

// The first window with the given title once it is viewable, looked for every
// 100 ms for up to the given number of seconds; 0 if it never shows.
Window waitForWindow(Display* d, const std::string& title, int seconds);

// The game's window ("Glimmerfall V1.0") once it is viewable, looked for
// every 100 ms for up to the given number of seconds; 0 if it never shows.
Window waitForGameWindow(Display* d, int seconds = 30);

// What a window manager sends when the window's close button is pressed.
void sendCloseRequest(Display* d, Window w);
