#include "music_score.h"

#include <array>

namespace music {

namespace {

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

constexpr DrumBar noDrums{"................", "................", "................"};
constexpr DrumBar hatsOnly{"................", "................", "..-...-...-...x."};
constexpr DrumBar tuneGroove{"X.........x.....", "........X.......", "-.x.-.x.-.x.-.x."};
constexpr DrumBar bridgeGroove{"X.....x...x.....", "........X.......", "-.x.-.x.-.x.-xx."};
constexpr DrumBar repriseGroove{"X.........x...-.", "........X.......", "-.x.-.x.-.x.-.x-"};
constexpr DrumBar fill{"X.........x.....", "........X...x-xx", "-.x.-.x.-.x....."};

constexpr std::array<BassNote, 1> bassDrone{{{0, 16, 0}}};
constexpr std::array<BassNote, 4> bassTune{{{0, 6, 0}, {6, 2, 0}, {8, 6, 0}, {14, 2, 12}}};
constexpr std::array<BassNote, 5> bassBridge{
    {{0, 3, 0}, {3, 3, 0}, {6, 2, 12}, {8, 6, 0}, {14, 2, 7}}};

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

}  // namespace

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

Chord chordOf(int bar)
{
    return chords[bar];
}

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

std::span<const BassNote> bassPatternFor(Section section)
{
    switch (section) {
        case Section::intro:
            return bassDrone;
        case Section::bridge:
            return bassBridge;
        default:
            return bassTune;
    }
}

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

std::optional<std::vector<Note>> readTune()
{
    std::vector<Note> notes;
    const std::vector<std::string_view> bars = split(melody, '|');
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

}  // namespace music
