// The Windows build's own INI line reader against the inih the Linux build
// links: every file, hand-made or random, must give the same entries and the
// same first error line.
#include "store/ini_lines.h"

#include <gtest/gtest.h>
#include <ini.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// What a reader made of a text: its entries as "section|key|value" lines and
// the result. Every third entry is refused when `refuse` is set, which counts
// as an error in both readers.
struct Outcome {
    std::vector<std::string> entries;
    int result = 0;
    bool refuse = false;
    bool operator==(const Outcome&) const = default;
};

struct Source {
    std::string_view rest;
};

// fgets on a string: at most room − 1 bytes, up to and with the newline.
char* nextLine(char* out, int room, void* stream)
{
    Source& s = *static_cast<Source*>(stream);
    if (s.rest.empty()) {
        return nullptr;
    }
    std::size_t n = std::min(s.rest.size(), static_cast<std::size_t>(room - 1));
    if (const std::size_t newline = s.rest.substr(0, n).find('\n'); newline != std::string_view::npos) {
        n = newline + 1;
    }
    std::memcpy(out, s.rest.data(), n);
    out[n] = '\0';
    s.rest.remove_prefix(n);
    return out;
}

int takeEntry(void* user, const char* section, const char* key, const char* value)
{
    Outcome& o = *static_cast<Outcome*>(user);
    o.entries.push_back(std::string(section) + "|" + key + "|" + value);
    return o.refuse && o.entries.size() % 3 == 0 ? 0 : 1;
}

Outcome readWith(bool ours, const std::string& text, bool refuse)
{
    Source source{text};
    Outcome o;
    o.refuse = refuse;
    o.result = ours ? parseIniLines(nextLine, &source, takeEntry, &o)
                    : ini_parse_stream(nextLine, &source, takeEntry, &o);
    return o;
}

void expectSameReading(const std::string& text)
{
    for (bool refuse : {false, true}) {
        const Outcome inih = readWith(false, text, refuse);
        const Outcome ours = readWith(true, text, refuse);
        EXPECT_EQ(ours.result, inih.result) << testing::PrintToString(text);
        EXPECT_EQ(ours.entries, inih.entries) << testing::PrintToString(text);
    }
}

TEST(IniLines, ReadsEveryFileAsInihDoes)
{
    const std::string longName(60, 'k');
    const std::string handMade[] = {
        "\xEF\xBB\xBFversion = 1\n[sound]\r\nmusic=OFF ; quiet\nvolume = 3;4\n",
        "a = 1\n  continued ; comment\n\tmore\n[s]\n  orphan\nb:2\n",
        "[ spaced name ] trailing\n[open\n[]\nkey\n=empty key\nk = v = w\nk2 := x\n",
        "# c\n; c\n  ; indented comment\nk ;= v\nk; = v\nk = ;v\nk =  ;v\n\n\r\n",
        "[" + longName + "]\n" + longName + " = 1\n  more\n",
        "k = " + std::string(250, 'v') + "\nnext = 2\n",
        "\xEF\xBB\xBF  indented first\n[s]\xEF\xBB\xBF\n",
    };
    for (const std::string& text : handMade) {
        expectSameReading(text);
    }

    // Random files of the characters that decide something, with lines
    // of every length around the 200-byte buffer.
    std::mt19937 random(20240611);
    const std::string alphabet = "[]=:;# \t\rab\n";
    for (int i = 0; i < 3000; ++i) {
        std::string text = i % 7 == 0 ? "\xEF\xBB\xBF" : "";
        const int length = std::uniform_int_distribution<int>(0, i % 50 == 0 ? 600 : 60)(random);
        for (int c = 0; c < length; ++c) {
            text += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
        }
        expectSameReading(text);
        if (HasFailure()) {
            break;
        }
    }
}

}  // namespace
