#include "services/LevelComputation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace vantorelle {
namespace {

// One channel of `frames` samples alternating +amplitude and -amplitude: RMS = amplitude.
std::vector<float> squareWave(float amplitude, std::size_t frames = 1024)
{
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i) samples[i] = (i % 2 == 0) ? amplitude : -amplitude;
    return samples;
}

TEST(LevelComputation, MapsLoudnessOntoTheFiftyDecibelScale)
{
    EXPECT_EQ(LevelComputation::bufferLevel(std::vector<float>(1024, 0.0f), 1), 0.0f);
    EXPECT_EQ(LevelComputation::bufferLevel(squareWave(1.0f), 1), 1.0f);
    EXPECT_NEAR(*LevelComputation::bufferLevel(squareWave(0.01f), 1), 0.2f, 1e-5f);
    EXPECT_NEAR(*LevelComputation::bufferLevel(squareWave(0.1f), 1), 0.6f, 1e-5f);
    // Louder than full scale is still 1; below -50 dBFS is 0.
    EXPECT_EQ(LevelComputation::bufferLevel(squareWave(4.0f), 1), 1.0f);
    EXPECT_EQ(LevelComputation::bufferLevel(squareWave(0.002f), 1), 0.0f);
    // Only the square mean matters, not the buffer length.
    EXPECT_NEAR(*LevelComputation::bufferLevel(squareWave(0.1f, 7), 1), 0.6f, 1e-3f);
}

TEST(LevelComputation, MeasuresChannelZeroOnly)
{
    std::vector<float> stereo;
    for (float sample : squareWave(0.1f)) {
        stereo.push_back(sample);
        stereo.push_back(1.0f); // a loud second channel must not count
    }
    EXPECT_NEAR(*LevelComputation::bufferLevel(stereo, 2), 0.6f, 1e-5f);

    std::vector<float> quietFirst(4 * 256, 0.5f);
    for (std::size_t frame = 0; frame < 256; ++frame) quietFirst[frame * 4] = 0.0f;
    EXPECT_EQ(LevelComputation::bufferLevel(quietFirst, 4), 0.0f);
}

TEST(LevelComputation, IgnoresBuffersWithoutWholeFrames)
{
    EXPECT_FALSE(LevelComputation::bufferLevel({}, 1));
    EXPECT_FALSE(LevelComputation::bufferLevel(std::vector<float>{0.5f}, 2));
    EXPECT_FALSE(LevelComputation::bufferLevel(std::vector<float>{0.5f}, 0));
}

TEST(LevelComputation, CorruptSamplesGiveSilenceNotNaN)
{
    std::vector<float> samples(16, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(LevelComputation::bufferLevel(samples, 1), 0.0f);
}

TEST(LevelComputation, RisesAtOnceAndFallsByAtMostOneTwentieth)
{
    EXPECT_EQ(LevelComputation::smoothed(0.8f, 0.9f), 0.9f);
    EXPECT_EQ(LevelComputation::smoothed(0.8f, 0.78f), 0.78f);
    EXPECT_EQ(LevelComputation::smoothed(0.8f, 0.2f), 0.8f + -0.05f);
    EXPECT_NEAR(LevelComputation::smoothed(0.8f, 0.2f), 0.75f, 1e-6f);
    EXPECT_EQ(LevelComputation::smoothed(0.0f, 0.0f), 0.0f);
}

TEST(LevelComputation, SilenceAfterFullScaleReachesZeroInTwentyBuffers)
{
    const std::vector<float> silence(1024, 0.0f);
    float level = LevelComputation::smoothed(0.0f, *LevelComputation::bufferLevel(squareWave(1.0f), 1));
    ASSERT_EQ(level, 1.0f);
    for (int buffer = 1; buffer <= 20; ++buffer) {
        const float previous = level;
        level = LevelComputation::smoothed(level, *LevelComputation::bufferLevel(silence, 1));
        if (buffer < 20) {
            EXPECT_NEAR(previous - level, 0.05f, 1e-5f) << "buffer " << buffer;
            EXPECT_GT(level, 0.0f) << "buffer " << buffer;
        }
    }
    EXPECT_EQ(level, 0.0f);
}

} // namespace
} // namespace vantorelle
