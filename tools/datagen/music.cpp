// "Drift", the background loop (its score in music_score.cpp), mixed and
// mastered.
//
// Everything is rendered into a circular buffer the length of the piece:
// notes that ring past the end continue at the start, and the echo and
// reverb run round the loop twice, so the file loops without a seam.

#include <array>
#include <cstddef>
#include <cstdio>

#include "file_makers.h"
#include "mastering.h"
#include "music_effects.h"
#include "music_instruments.h"
#include "music_score.h"
#include "noise.h"
#include "synthesis.h"

using namespace music;

namespace {

// Balance of the instruments before the whole is scaled to its peak.
struct Levels {
    float lead = 0.3f;
    float pad = 0.05f;
    float pluck = 0.16f;
    float bass = 0.36f;
    float kick = 0.7f;
    float snare = 0.6f;
    float hat = 0.5f;
};
constexpr Levels levels;

struct Mix {
    std::vector<float> left = std::vector<float>(loopLength);
    std::vector<float> right = std::vector<float>(loopLength);
    std::vector<float> echoSend = std::vector<float>(loopLength);
    std::vector<float> reverbSend = std::vector<float>(loopLength);

    // Adds a rendered mono sound at `start`, wrapping round the loop, at
    // the given level, pan position and effect sends.
    void place(int start, const std::vector<float>& sound, float level, float pan, float echo,
               float reverb)
    {
        PanGains gains = panGains(pan);
        gains.left *= level;
        gains.right *= level;
        echo *= level;
        reverb *= level;
        std::size_t at = static_cast<std::size_t>(start) % loopLength;
        for (float s : sound) {
            left[at] += s * gains.left;
            right[at] += s * gains.right;
            echoSend[at] += s * echo;
            reverbSend[at] += s * reverb;
            if (++at == loopLength) {
                at = 0;
            }
        }
    }
};

}  // namespace

std::vector<std::int16_t> makeMusic()
{
    const auto tune = readTune();
    if (!tune) {
        std::fprintf(stderr, "music: the tune in the score is malformed\n");
        return {};
    }
    Mix mix;
    Random drumNoise(0xD2D2u);
    constexpr int barLength = stepsPerBar * samplesPerStep;

    for (const Note& n : *tune) {
        const int held = n.length - samplesPerStep / 3;
        mix.place(n.start, lead(n.pitch, held), levels.lead, 0.0f, 0.32f, 0.25f);
    }

    for (int bar = 0; bar < barCount; ++bar) {
        const int barStart = bar * barLength;
        const Section section = sectionOf(bar);
        const Chord chord = chordOf(bar);
        const auto voicing = parseVoicing(chord.voicing);
        const auto root = parsePitch(chord.root);
        if (!voicing || voicing->size() != 4 || !root) {
            std::fprintf(stderr, "music: the chord of bar %d is malformed\n", bar + 1);
            return {};
        }

        // Pads: the voicing held for the whole bar, spread across the field.
        for (std::size_t k = 0; k < voicing->size(); ++k) {
            const float pan = -0.5f + static_cast<float>(k) / 3.0f;
            mix.place(barStart, pad(static_cast<float>((*voicing)[k]), barLength), levels.pad, pan,
                      0.0f, 0.35f);
        }

        // Arpeggio in eighths, an octave above the pads, up and back down.
        static constexpr std::array<int, 8> order{0, 1, 2, 3, 4, 3, 2, 1};
        for (int eighth = 0; eighth < 8; ++eighth) {
            const int index = order[eighth];
            const int pitch = index == 4 ? (*voicing)[0] + 24 : (*voicing)[index] + 12;
            const float pan = eighth % 2 == 0 ? -0.4f : 0.4f;
            const float level = levels.pluck * (eighth == 0 ? 1.0f : 0.8f);
            mix.place(barStart + eighth * 2 * samplesPerStep, pluck(static_cast<float>(pitch)),
                      level, pan, 0.5f, 0.2f);
        }

        // Bass: a drone in bars 3-4, a pattern from the tune on.
        if (bar >= 2) {
            for (const BassNote& b : bassPatternFor(section)) {
                const int held = b.length * samplesPerStep - samplesPerStep / 4;
                mix.place(barStart + b.step * samplesPerStep,
                          bass(static_cast<float>(*root + b.interval), held), levels.bass, 0.0f,
                          0.0f, 0.0f);
            }
        }

        const DrumBar drums = drumsFor(bar);
        for (int step = 0; step < stepsPerBar; ++step) {
            const int at = barStart + step * samplesPerStep;
            if (const float v = velocityOf(drums.kick[step]); v > 0.0f) {
                mix.place(at, kick(v), levels.kick, 0.0f, 0.0f, 0.05f);
            }
            if (const float v = velocityOf(drums.snare[step]); v > 0.0f) {
                mix.place(at, snare(v, drumNoise), levels.snare, -0.1f, 0.12f, 0.4f);
            }
            if (const float v = velocityOf(drums.hat[step]); v > 0.0f) {
                mix.place(at, hat(v, drumNoise), levels.hat, 0.3f, 0.0f, 0.1f);
            }
        }
    }

    addEcho(mix.echoSend, 3 * samplesPerStep, 0.8f, mix.left, mix.right);  // a dotted eighth
    addReverb(mix.reverbSend, 0.9f, mix.left, mix.right);

    std::vector<float> interleaved(static_cast<std::size_t>(loopLength) * 2);
    for (int i = 0; i < loopLength; ++i) {
        interleaved[2 * i] = mix.left[i];
        interleaved[2 * i + 1] = mix.right[i];
    }
    // Mastering: the quiet opening is brought up toward the rest, then the
    // whole is set to the level the game's mix needs.
    levelLoop(interleaved, 2, audioRate / 2, 3.0f);
    return toPcm16AtRms(interleaved,
                        decibels(mastering::fileLevelDb(mastering::musicMixRmsDb, 0.0f, false)));
}
