// Cost of one device-list pass of the engine on the in-memory audio system, for stacks of
// growing size: the pass should grow linearly with the number of devices.
#include "support/core/EngineFixture.h"

#include <benchmark/benchmark.h>

namespace {

using vantorelle::test::FakeAudioSystem;
using vantorelle::test::FakeEngineParts;

void devicePass(benchmark::State& state)
{
    const auto count = static_cast<std::uint32_t>(state.range(0));
    FakeEngineParts parts;
    for (std::uint32_t i = 0; i < count; ++i) {
        parts.audio.add(FakeAudioSystem::device(i + 1, "dev-" + std::to_string(i), "Device " + std::to_string(i),
                                                i % 2 == 0, i % 2 == 1));
    }
    parts.audio.defaultInput = "dev-0";
    parts.audio.defaultOutput = "dev-1";
    auto engine = parts.makeEngine();
    engine->start();
    // Alternate a plug and an unplug of one extra device so every pass does real work
    // (added/removed sets, rule for both directions) without growing the stacks.
    bool plugged = false;
    for (auto _ : state) {
        if (plugged) parts.audio.removeUID("extra");
        else parts.audio.add(FakeAudioSystem::device(count + 1, "extra", "Extra", true, true));
        plugged = !plugged;
        parts.audio.fireDeviceListChange();
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(devicePass)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
