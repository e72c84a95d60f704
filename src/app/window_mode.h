#pragma once

// How the game's window starts: maximised (the default), covering the whole
// screen (desktop fullscreen), or as an ordinary window of the desktop's size.
enum class WindowMode { maximised, fullscreen, windowed };
