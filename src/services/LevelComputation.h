#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace vantorelle {

// The level arithmetic of the microphone meter, in single precision as the meter runs it on
// every captured buffer: 0 at or below -50 dBFS, 1 at 0 dBFS.
struct LevelComputation {
    // The level of channel 0 of `samples`, interleaved frames of `channelCount` channels.
    // Absent when there is no whole frame (or no channel) to measure.
    static std::optional<float> bufferLevel(std::span<const float> samples,
                                            std::size_t channelCount) noexcept;

    // The meter rises at once and falls by at most 0.05 per buffer.
    static float smoothed(float previous, float level) noexcept;
};

} // namespace vantorelle
