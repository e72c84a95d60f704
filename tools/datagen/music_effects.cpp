#include "music_effects.h"

#include <array>
#include <cstddef>
#include <utility>

#include "synthesis.h"

namespace music {

namespace {

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
void addLooped(Effect& effect, const std::vector<float>& send, float level,
               std::vector<float>& left, std::vector<float>& right)
{
    for (float s : send) {
        effect.process(s);
    }
    for (std::size_t i = 0; i < send.size(); ++i) {
        const auto [l, r] = effect.process(send[i]);
        left[i] += l * level;
        right[i] += r * level;
    }
}

}  // namespace

void addEcho(const std::vector<float>& send, int delay, float level, std::vector<float>& left,
             std::vector<float>& right)
{
    PingPong echo(delay);
    addLooped(echo, send, level, left, right);
}

void addReverb(const std::vector<float>& send, float level, std::vector<float>& left,
               std::vector<float>& right)
{
    Reverb reverb;
    addLooped(reverb, send, level, left, right);
}

}  // namespace music
