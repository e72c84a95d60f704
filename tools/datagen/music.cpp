// "Drift", the background loop: 28 bars at 98 beats a minute in D minor,
// 68.6 seconds. Four bars of pads and a rolling arpeggio, then an eight-bar
// tune over bass and soft half-time drums, an eight-bar bridge, and the
// tune again, ending on A7 so that it falls back into the opening chord.
//
// Everything is rendered into a circular buffer the length of the piece:
// notes that ring past the end continue at the start, and the echo and
// reverb run round the loop twice, so the file loops without a seam.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

#include "data_files.h"
#include "mastering.h"
#include "noise.h"
#include "synthesis.h"

namespace {

// ---- the score ----------------------------------------------------------

constexpr int stepsPerBar = 16;       // sixteenth notes
constexpr int samplesPerStep = 3375;  // 98 beats a minute at 22050 Hz
constexpr int barCount = 28;
constexpr int loopLength = barCount * stepsPerBar * samplesPerStep;

enum class Section { intro, tune, bridge, reprise };

Section sectionOf(int bar)
{
    if (bar < 4) {
        return Section::intro;
    }
    if (bar < 12) {
        return Section::tune;
    }
    if (bar < 20) {
        return Section::bridge;
    }
    return Section::reprise;
}

// Bass root and pad voicing for each bar.
struct Chord {
    std::string_view root;
    std::string_view voicing;
};

constexpr Chord dm9{"D2", "F3 A3 C4 E4"};
constexpr Chord bbMaj7{"Bb1", "F3 A3 Bb3 D4"};
constexpr Chord fMaj7{"F2", "E3 A3 C4 F4"};
constexpr Chord cAdd9{"C2", "E3 G3 C4 D4"};
constexpr Chord gm7{"G1", "F3 G3 Bb3 D4"};
constexpr Chord a7{"A1", "E3 G3 A3 C#4"};
constexpr Chord am7{"A1", "E3 G3 A3 C4"};
constexpr Chord dm7{"D2", "F3 A3 C4 D4"};

constexpr std::array<Chord, barCount> chords{
    dm9,    bbMaj7, fMaj7, cAdd9,                          // intro
    dm9,    bbMaj7, fMaj7, cAdd9, dm9, bbMaj7, gm7,   a7,  // tune
    bbMaj7, cAdd9,  am7,   dm7,   gm7, cAdd9,  fMaj7, a7,  // bridge
    dm9,    bbMaj7, fMaj7, cAdd9, dm9, bbMaj7, gm7,   a7,  // reprise
};

// The tune: note/length-in-sixteenths, "-" for a rest, "|" between bars.
constexpr std::string_view melody =
    "-/16 | -/16 | -/16 | -/16 |"
    "A4/6 D5/2 E5/4 F5/4 | F5/6 E5/2 D5/4 C5/4 | C5/6 A4/2 C5/4 F5/4 | E5/12 -/4 |"
    "A4/6 D5/2 E5/4 F5/4 | G5/6 F5/2 E5/4 D5/4 | F5/4 E5/2 D5/2 Bb4/4 D5/4 | E5/8 C#5/4 A4/4 |"
    "D5/4 F5/4 A5/6 G5/2 | G5/8 E5/4 C5/4 | C5/4 E5/4 G5/6 E5/2 | F5/12 -/4 |"
    "Bb4/4 D5/4 F5/6 G5/2 | E5/6 D5/2 C5/4 E5/4 | A5/8 G5/4 E5/4 | E5/6 C#5/2 A4/8 |"
    "A4/6 D5/2 E5/4 F5/4 | F5/6 G5/2 A5/8 | C6/6 A5/2 G5/4 F5/4 | E5/6 D5/2 C5/4 E5/4 |"
    "D5/6 A4/2 D5/4 F5/4 | G5/6 F5/2 D5/4 Bb4/4 | D5/4 C5/2 Bb4/2 G4/4 Bb4/4 | A4/12 -/4";

// Drum patterns, one character a sixteenth: X loud, x medium, - soft.
struct DrumBar {
    std::string_view kick;
    std::string_view snare;
    std::string_view hat;
};

constexpr DrumBar noDrums{"................", "................", "................"};
constexpr DrumBar hatsOnly{"................", "................", "..-...-...-...x."};
constexpr DrumBar tuneGroove{"X.........x.....", "........X.......", "-.x.-.x.-.x.-.x."};
constexpr DrumBar bridgeGroove{"X.....x...x.....", "........X.......", "-.x.-.x.-.x.-xx."};
constexpr DrumBar repriseGroove{"X.........x...-.", "........X.......", "-.x.-.x.-.x.-.x-"};
constexpr DrumBar fill{"X.........x.....", "........X...x-xx", "-.x.-.x.-.x....."};

DrumBar drumsFor(int bar)
{
    if (bar < 2) {
        return noDrums;
    }
    if (bar < 4) {
        return hatsOnly;
    }
    if (bar % 8 == 3) {
        return fill;
    }
    switch (sectionOf(bar)) {
        case Section::bridge:
            return bridgeGroove;
        case Section::reprise:
            return repriseGroove;
        default:
            return tuneGroove;
    }
}

// Bass rhythm: start step, length in steps, interval above the root.
struct BassNote {
    int step;
    int length;
    int interval;
};

constexpr std::array<BassNote, 1> bassDrone{{{0, 16, 0}}};
constexpr std::array<BassNote, 4> bassTune{{{0, 6, 0}, {6, 2, 0}, {8, 6, 0}, {14, 2, 12}}};
constexpr std::array<BassNote, 5> bassBridge{
    {{0, 3, 0}, {3, 3, 0}, {6, 2, 12}, {8, 6, 0}, {14, 2, 7}}};

// ---- reading the score --------------------------------------------------

struct Note {
    int start;    // in samples from the top of the loop
    int length;   // in samples
    float pitch;  // MIDI note number
};

std::optional<int> parsePitch(std::string_view name)
{
    static constexpr std::array<int, 7> semitones{9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
        return std::nullopt;
    }
    int pitch = semitones[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#') {
        ++pitch;
        ++i;
    } else if (name[i] == 'b') {
        --pitch;
        ++i;
    }
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '8') {
        return std::nullopt;
    }
    return pitch + 12 * (name[i] - '0' + 1);
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const std::size_t cut = text.find(separator);
        const std::string_view part = text.substr(0, cut);
        if (!part.empty()) {
            parts.push_back(part);
        }
        if (cut == std::string_view::npos) {
            break;
        }
        text.remove_prefix(cut + 1);
    }
    return parts;
}

std::optional<std::vector<int>> parseVoicing(std::string_view voicing)
{
    std::vector<int> notes;
    for (std::string_view name : split(voicing, ' ')) {
        const auto pitch = parsePitch(name);
        if (!pitch) {
            return std::nullopt;
        }
        notes.push_back(*pitch);
    }
    return notes;
}

// Reads the tune; fails on a bad note name or a bar that is not 16 steps.
std::optional<std::vector<Note>> parseMelody(std::string_view text)
{
    std::vector<Note> notes;
    const std::vector<std::string_view> bars = split(text, '|');
    if (bars.size() != barCount) {
        return std::nullopt;
    }
    for (int bar = 0; bar < barCount; ++bar) {
        int step = bar * stepsPerBar;
        for (std::string_view token : split(bars[bar], ' ')) {
            const std::size_t slash = token.find('/');
            if (slash == std::string_view::npos) {
                return std::nullopt;
            }
            int length = 0;
            for (char c : token.substr(slash + 1)) {
                if (c < '0' || c > '9') {
                    return std::nullopt;
                }
                length = length * 10 + (c - '0');
            }
            const std::string_view name = token.substr(0, slash);
            if (name != "-") {
                const auto pitch = parsePitch(name);
                if (!pitch) {
                    return std::nullopt;
                }
                notes.push_back(
                    {step * samplesPerStep, length * samplesPerStep, static_cast<float>(*pitch)});
            }
            step += length;
        }
        if (step != (bar + 1) * stepsPerBar) {
            return std::nullopt;
        }
    }
    return notes;
}

float velocityOf(char c)
{
    switch (c) {
        case 'X':
            return 1.0f;
        case 'x':
            return 0.7f;
        case '-':
            return 0.4f;
        default:
            return 0.0f;
    }
}

// ---- the mix ------------------------------------------------------------

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

constexpr float seconds(int samples)
{
    return static_cast<float>(samples) / audioRate;
}

// ---- instruments --------------------------------------------------------

// Warm pad: two detuned saws and a sine an octave down, low-passed.
std::vector<float> pad(float pitch, int held)
{
    const Envelope envelope{0.45f, 1.0f, 0.8f, 1.1f};
    const int length = held + static_cast<int>(envelope.release * audioRate);
    std::vector<float> out(length);
    Phase a, b, sub;
    Biquad filter = Biquad::lowPass(950.0f, 0.7f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float fa = f * 1.0035f;
        const float fb = f * 0.9965f;
        const float s = sawWave(a.advance(fa), fa / audioRate) +
                        sawWave(b.advance(fb), fb / audioRate) +
                        0.6f * sineWave(sub.advance(f * 0.5f));
        out[i] = filter.process(s) * envelope.at(seconds(i), seconds(held));
    }
    return out;
}

// Lead: a soft sine-and-triangle voice with a delayed vibrato.
std::vector<float> lead(float pitch, int held)
{
    const Envelope envelope{0.03f, 0.35f, 0.7f, 0.3f};
    const int length = held + static_cast<int>(envelope.release * audioRate);
    std::vector<float> out(length);
    Phase main, detuned, vibrato;
    Biquad filter = Biquad::lowPass(2800.0f, 0.7f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float depth = 0.006f * smoothStep01((t - 0.25f) / 0.4f);
        const float bend = 1.0f + depth * sineWave(vibrato.advance(5.2f));
        const float s = 0.75f * sineWave(main.advance(f * bend)) +
                        0.35f * triangleWave(detuned.advance(f * bend * 1.003f)) +
                        0.12f * sineWave(static_cast<float>(std::fmod(main.value * 2.0, 1.0)));
        out[i] = filter.process(s) * envelope.at(t, seconds(held));
    }
    return out;
}

// Arpeggio pluck: a narrow pulse through a closing low-pass.
std::vector<float> pluck(float pitch)
{
    const int length = static_cast<int>(0.6f * audioRate);
    std::vector<float> out(length);
    Phase phase;
    Biquad filter = Biquad::lowPass(3000.0f, 1.2f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        if (i % 32 == 0) {
            filter.retuneLowPass(500.0f + 2800.0f * std::exp(-t / 0.07f), 1.2f);
        }
        const float amp = smoothStep01(t / 0.004f) * std::exp(-t / 0.18f) *
                          (1.0f - smoothStep01((t - 0.5f) / 0.1f));
        out[i] = filter.process(pulseWave(phase.advance(f), f / audioRate, 0.3f)) * amp;
    }
    return out;
}

// Bass: a round sine with a little low-passed saw for edge.
std::vector<float> bass(float pitch, int held)
{
    const Envelope envelope{0.008f, 0.25f, 0.75f, 0.08f};
    const int length = held + static_cast<int>(envelope.release * audioRate);
    std::vector<float> out(length);
    Phase phase;
    Biquad filter = Biquad::lowPass(420.0f, 0.8f);
    const float f = noteFrequency(pitch);
    for (int i = 0; i < length; ++i) {
        const float p = phase.advance(f);
        const float s = sineWave(p) + 0.45f * filter.process(sawWave(p, f / audioRate));
        out[i] = s * envelope.at(seconds(i), seconds(held));
    }
    return out;
}

std::vector<float> kick(float velocity)
{
    const int length = static_cast<int>(0.4f * audioRate);
    std::vector<float> out(length);
    Phase phase;
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float f = 46.0f + 120.0f * std::exp(-t / 0.035f);
        const float amp = std::exp(-t / 0.16f) * (1.0f - smoothStep01((t - 0.3f) / 0.1f));
        out[i] = sineWave(phase.advance(f)) * amp * velocity;
    }
    return out;
}

std::vector<float> snare(float velocity, Random& random)
{
    const int length = static_cast<int>(0.35f * audioRate);
    std::vector<float> out(length);
    Phase tone;
    Biquad band = Biquad::bandPass(1900.0f, 0.9f);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float fade = smoothStep01(t / 0.002f) * (1.0f - smoothStep01((t - 0.25f) / 0.1f));
        const float noise = band.process(random.signedUnit()) * std::exp(-t / 0.08f);
        const float body = 0.5f * sineWave(tone.advance(185.0f)) * std::exp(-t / 0.045f);
        out[i] = (1.6f * noise + body) * fade * velocity;
    }
    return out;
}

std::vector<float> hat(float velocity, Random& random)
{
    const int length = static_cast<int>(0.12f * audioRate);
    std::vector<float> out(length);
    Biquad high = Biquad::highPass(6500.0f, 0.7f);
    for (int i = 0; i < length; ++i) {
        const float t = seconds(i);
        const float amp = smoothStep01(t / 0.001f) * std::exp(-t / 0.028f) *
                          (1.0f - smoothStep01((t - 0.09f) / 0.03f));
        out[i] = high.process(random.signedUnit()) * amp * velocity;
    }
    return out;
}

// ---- effects ------------------------------------------------------------

// Ping-pong echo: repeats alternate left and right, darker each time.
struct PingPong {
    std::vector<float> left;
    std::vector<float> right;
    std::size_t position = 0;
    OnePole damping = OnePole::lowPass(2600.0f);
    float feedback = 0.45f;

    explicit PingPong(int delay) : left(delay), right(delay) {}

    std::pair<float, float> process(float in)
    {
        const float outLeft = left[position];
        const float outRight = right[position];
        left[position] = in + feedback * damping.process(outRight);
        right[position] = outLeft;
        if (++position == left.size()) {
            position = 0;
        }
        return {outLeft, outRight};
    }
};

// A small Schroeder reverb: parallel damped combs into series all-passes.
struct Reverb {
    struct Comb {
        std::vector<float> buffer;
        std::size_t position = 0;
        float store = 0.0f;

        float process(float in)
        {
            const float out = buffer[position];
            store = out * 0.7f + store * 0.3f;
            buffer[position] = in + store * 0.8f;
            if (++position == buffer.size()) {
                position = 0;
            }
            return out;
        }
    };
    struct AllPass {
        std::vector<float> buffer;
        std::size_t position = 0;

        float process(float in)
        {
            const float delayed = buffer[position];
            buffer[position] = in + delayed * 0.5f;
            if (++position == buffer.size()) {
                position = 0;
            }
            return delayed - in;
        }
    };
    struct Channel {
        std::array<Comb, 4> combs;
        std::array<AllPass, 2> allPasses;

        explicit Channel(int spread)
            : combs{{{std::vector<float>(1116 / 2 + spread)},
                     {std::vector<float>(1277 / 2 + spread)},
                     {std::vector<float>(1422 / 2 + spread)},
                     {std::vector<float>(1557 / 2 + spread)}}},
              allPasses{
                  {{std::vector<float>(556 / 2 + spread)}, {std::vector<float>(341 / 2 + spread)}}}
        {
        }

        float process(float in)
        {
            float sum = 0.0f;
            for (Comb& c : combs) {
                sum += c.process(in);
            }
            for (AllPass& a : allPasses) {
                sum = a.process(sum);
            }
            return sum * 0.25f;
        }
    };

    Channel left{0};
    Channel right{12};

    std::pair<float, float> process(float in) { return {left.process(in), right.process(in)}; }
};

// Runs an effect round the loop twice and adds its second pass to the mix.
template <typename Effect>
void addLoopedEffect(Effect& effect, const std::vector<float>& send, Mix& mix, float level)
{
    for (float s : send) {
        effect.process(s);
    }
    for (std::size_t i = 0; i < send.size(); ++i) {
        const auto [l, r] = effect.process(send[i]);
        mix.left[i] += l * level;
        mix.right[i] += r * level;
    }
}

}  // namespace

std::vector<std::int16_t> makeMusic()
{
    const auto tune = parseMelody(melody);
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
        const auto voicing = parseVoicing(chords[bar].voicing);
        const auto root = parsePitch(chords[bar].root);
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
            const BassNote* pattern = bassDrone.data();
            std::size_t count = bassDrone.size();
            if (section == Section::bridge) {
                pattern = bassBridge.data();
                count = bassBridge.size();
            } else if (section != Section::intro) {
                pattern = bassTune.data();
                count = bassTune.size();
            }
            for (std::size_t k = 0; k < count; ++k) {
                const BassNote& b = pattern[k];
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

    PingPong echo(3 * samplesPerStep);  // a dotted eighth
    Reverb reverb;
    addLoopedEffect(echo, mix.echoSend, mix, 0.8f);
    addLoopedEffect(reverb, mix.reverbSend, mix, 0.9f);

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
