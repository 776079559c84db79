#include "services/LevelComputation.h"

#include <cmath>

namespace vantorelle {

std::optional<float> LevelComputation::bufferLevel(std::span<const float> samples,
                                                   std::size_t channelCount) noexcept
{
    if (channelCount == 0) return std::nullopt;
    const std::size_t frames = samples.size() / channelCount;
    if (frames == 0) return std::nullopt;

    float sumOfSquares = 0.0f;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const float sample = samples[frame * channelCount];
        sumOfSquares += sample * sample;
    }
    constexpr float floor = 1e-5f;
    float rms = std::sqrt(sumOfSquares / static_cast<float>(frames));
    // Also catches a NaN from a corrupt buffer, which would otherwise stick in the smoothing.
    if (!(rms > floor)) rms = floor;

    float value = (20.0f * std::log10(rms) + 50.0f) / 50.0f;
    if (value <= 0.0f) value = 0.0f;
    if (value > 1.0f) value = 1.0f;
    return value;
}

float LevelComputation::smoothed(float previous, float level) noexcept
{
    if (previous < level) return level;
    const float lowered = previous + -0.05f;
    return level <= lowered ? lowered : level;
}

} // namespace vantorelle
