#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "data_files.h"
#include "data_reader.h"

namespace {

constexpr int rate = 22050;

Wave load(const char* name)
{
    Wave wav = parseWave(readDataFile(name));
    EXPECT_EQ(wav.error, "") << name;
    return wav;
}

int peakOf(const std::vector<int>& s)
{
    int peak = 0;
    for (int v : s) {
        peak = std::max(peak, std::abs(v));
    }
    return peak;
}

double rmsOf(const std::vector<int>& s, std::size_t from, std::size_t count)
{
    double total = 0.0;
    for (std::size_t i = from; i < from + count; ++i) {
        total += static_cast<double>(s[i]) * s[i];
    }
    return std::sqrt(total / static_cast<double>(count));
}

// Root mean square of the step from one sample to the next.
double rmsStep(const std::vector<int>& s)
{
    double total = 0.0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const double d = s[i] - s[i - 1];
        total += d * d;
    }
    return std::sqrt(total / static_cast<double>(s.size() - 1));
}

// Played as a loop, the last sample runs into the first: that step must be
// no larger than the sound's ordinary steps, and the slope must carry on.
void expectLoopsWithoutClick(const std::vector<int>& s)
{
    ASSERT_GT(s.size(), 4u);
    const double typical = rmsStep(s);
    ASSERT_GT(typical, 1.0) << "a constant sound proves nothing";
    const std::size_t n = s.size();
    EXPECT_LE(std::abs(s[0] - s[n - 1]), 4.0 * typical)
        << "first " << s[0] << ", last " << s[n - 1];
    // Second difference across the joint, against the sound's own.
    const int bendAtJoint = std::abs(s[0] - 2 * s[n - 1] + s[n - 2]);
    EXPECT_LE(bendAtJoint, 6.0 * typical);
}

int zeroCrossingsPerSecond(const std::vector<int>& s)
{
    int crossings = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        crossings += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
    }
    return static_cast<int>(crossings * static_cast<double>(rate) / static_cast<double>(s.size()));
}

}  // namespace

TEST(SoundFiles, HeadersDescribeSixteenBitPcmAt22050)
{
    struct Expected {
        const char* name;
        int channels;
    };
    for (const Expected& e :
         {Expected{dataFiles::pickupSound, 1}, Expected{dataFiles::thrustSound, 1},
          Expected{dataFiles::musicSound, 2}}) {
        SCOPED_TRACE(e.name);
        const Wave wav = load(e.name);
        EXPECT_EQ(wav.riffSize + 8, wav.byteCount);
        EXPECT_GE(wav.formatSize, 16u);
        EXPECT_EQ(wav.formatTag, 1);
        EXPECT_EQ(wav.channels, e.channels);
        EXPECT_EQ(wav.sampleRate, 22050u);
        EXPECT_EQ(wav.bitsPerSample, 16);
        EXPECT_EQ(wav.blockAlign, e.channels * 2);
        EXPECT_EQ(wav.byteRate, 22050u * e.channels * 2);
        EXPECT_EQ(wav.dataSize % wav.blockAlign, 0u);
        EXPECT_EQ(wav.samples.size() * 2, wav.dataSize);
    }
}

TEST(PickupSound, ShortBrightAndFreeOfClicks)
{
    const Wave wav = load(dataFiles::pickupSound);
    ASSERT_EQ(wav.channels, 1);
    const std::vector<int> s = wav.channel(0);
    ASSERT_GT(s.size(), static_cast<std::size_t>(rate / 20)) << "longer than 50 ms";
    EXPECT_LT(s.size(), static_cast<std::size_t>(rate * 3 / 10)) << "under 0.3 s";

    const int peak = peakOf(s);
    EXPECT_GT(peak, 16000) << "loud enough to be heard at the game's -30 dB";
    EXPECT_LT(peak, 32767) << "not clipped";

    // Starts from silence: the first half millisecond stays small, and the
    // last five milliseconds have died away.
    EXPECT_LE(std::abs(s.front()), 300);
    EXPECT_LE(peakOf({s.begin(), s.begin() + 11}), peak / 8);
    EXPECT_LE(peakOf({s.end() - 110, s.end()}), peak / 50);
    EXPECT_LE(std::abs(s.back()), 100);

    EXPECT_GT(zeroCrossingsPerSecond(s), 800) << "a chime, not a thud";
}

TEST(ThrustSound, OneSecondOfRumbleThatLoops)
{
    const Wave wav = load(dataFiles::thrustSound);
    ASSERT_EQ(wav.channels, 1);
    const std::vector<int> s = wav.channel(0);
    EXPECT_GE(s.size(), static_cast<std::size_t>(rate * 8 / 10));
    EXPECT_LE(s.size(), static_cast<std::size_t>(rate * 12 / 10));
    expectLoopsWithoutClick(s);

    EXPECT_LT(peakOf(s), 32767);
    EXPECT_GT(rmsOf(s, 0, s.size()), 1000.0);
    // Steady: no quiet gap anywhere in the loop.
    for (std::size_t from = 0; from + rate / 10 <= s.size(); from += rate / 10) {
        EXPECT_GT(rmsOf(s, from, rate / 10), 500.0) << "at sample " << from;
    }
    EXPECT_LT(zeroCrossingsPerSecond(s), 1500) << "a rumble, not a hiss";
}

TEST(Music, AMinuteOrMoreOfStereoThatLoopsWithoutClipping)
{
    const Wave wav = load(dataFiles::musicSound);
    ASSERT_EQ(wav.channels, 2);
    EXPECT_GE(wav.frames(), static_cast<std::size_t>(60 * rate));

    const std::vector<int> left = wav.channel(0);
    const std::vector<int> right = wav.channel(1);
    const int minusOneDb = static_cast<int>(32768.0 * std::pow(10.0, -1.0 / 20.0));  // 29204
    EXPECT_LT(peakOf(left), minusOneDb);
    EXPECT_LT(peakOf(right), minusOneDb);
    {
        SCOPED_TRACE("left");
        expectLoopsWithoutClick(left);
    }
    {
        SCOPED_TRACE("right");
        expectLoopsWithoutClick(right);
    }

    // Music all the way through, evened out: no second of either channel
    // more than 6 dB under the whole or 3 dB over it; and the two channels
    // are not the same signal.
    const double whole = rmsOf(left, 0, left.size());
    for (std::size_t from = 0; from + rate <= left.size(); from += rate) {
        const double level = rmsOf(left, from, rate);
        EXPECT_GT(level, whole / 2.0) << "second " << from / rate;
        EXPECT_LT(level, whole * 1.42) << "second " << from / rate;
    }
    long differing = 0;
    for (std::size_t i = 0; i < left.size(); ++i) {
        differing += std::abs(left[i] - right[i]) > whole / 4.0 ? 1 : 0;
    }
    EXPECT_GT(differing, static_cast<long>(left.size() / 4));

    // No offset that would thump when the music starts or stops.
    double mean = 0.0;
    for (int v : left) {
        mean += v;
    }
    EXPECT_LT(std::fabs(mean / static_cast<double>(left.size())), whole / 50.0);
}
