#pragma once

// The score of "Drift", the background loop: 28 bars at 98 beats a minute in
// D minor, 68.6 seconds. Four bars of pads and a rolling arpeggio, then an
// eight-bar tune over bass and soft half-time drums, an eight-bar bridge, and
// the tune again, ending on A7 so that it falls back into the opening chord.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace music {

constexpr int stepsPerBar = 16;       // sixteenth notes
constexpr int samplesPerStep = 3375;  // 98 beats a minute at 22050 Hz
constexpr int barCount = 28;
constexpr int loopLength = barCount * stepsPerBar * samplesPerStep;

enum class Section { intro, tune, bridge, reprise };

Section sectionOf(int bar);

// Bass root and pad voicing of a bar, as note names ("D2", "F3 A3 C4 E4").
struct Chord {
    std::string_view root;
    std::string_view voicing;
};
Chord chordOf(int bar);

// Drum patterns, one character a sixteenth: X loud, x medium, - soft,
// anything else silent (see velocityOf).
struct DrumBar {
    std::string_view kick;
    std::string_view snare;
    std::string_view hat;
};
DrumBar drumsFor(int bar);
float velocityOf(char c);

// Bass rhythm: start step, length in steps, interval above the root.
struct BassNote {
    int step;
    int length;
    int interval;
};
// The bar's bass pattern in a section (the bass starts in the third bar).
std::span<const BassNote> bassPatternFor(Section section);

struct Note {
    int start;    // in samples from the top of the loop
    int length;   // in samples
    float pitch;  // MIDI note number
};

// A note name such as "C#4" or "Bb1" as a MIDI note number.
std::optional<int> parsePitch(std::string_view name);
// A space-separated list of note names.
std::optional<std::vector<int>> parseVoicing(std::string_view voicing);
// The tune read from the score; empty on a bad note name or a bar that is
// not 16 steps.
std::optional<std::vector<Note>> readTune();

}  // namespace music
