#pragma once

// The sound output as the window sees it: silent while the window is not the
// active one, and brought back when the device has lost it.

// Silences the device's whole output, or lets it be heard again. The sounds
// play on meanwhile (the music moves on, chimes ring out and end), so the
// game finds them as it would have. Nothing happens without a device.
void muteSoundOutput(bool muted);

// Asks the device whether its output is still there (the window asks once a
// second). When it was lost and has just been opened again, every buffer of
// the three sounds is restored and refilled from its file, the music loops
// again from its start and the thrust loop, when it was heard, plays again at
// thrustLevel. While no output can be opened the game plays on silently and
// the next check tries again.
void checkSoundOutput();
