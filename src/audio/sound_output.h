#pragma once

// The sound output as the window sees it: halted while the window is not the
// active one, and brought back when the device has lost it.

// Halts the device's whole output where it is, or lets it go on: the music
// continues where it was. Nothing happens without a device.
void pauseSoundOutput();
void resumeSoundOutput();

// Asks the device whether its output is still there (the window asks once a
// second). When it was lost and has just been opened again, every buffer of
// the three sounds is restored and refilled from its file, the music loops
// again from its start and the thrust loop, when it was heard, plays again at
// thrustLevel. While no output can be opened the game plays on silently and
// the next check tries again.
void checkSoundOutput();
