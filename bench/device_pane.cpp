// Cost of building a device pane and of rebuilding it after a reorder, for stacks of growing
// size (offscreen). A hundred entries must build and scroll without a noticeable pause.
#include "engine/SwitchEngine.h"
#include "store/PriorityStore.h"
#include "support/core/EngineFixture.h"
#include "ui/DevicePaneView.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

using vantorelle::Direction;
using vantorelle::DevicePaneView;
using vantorelle::PriorityStore;
using vantorelle::SavedDevice;
using vantorelle::StoredSettings;
using vantorelle::test::FakeEngineParts;

std::shared_ptr<vantorelle::SwitchEngine> engineWith(FakeEngineParts& parts, int entries)
{
    StoredSettings settings;
    for (int i = 0; i < entries; ++i) settings.inputPriority.push_back({"uid" + std::to_string(i), "Device " + std::to_string(i)});
    settings.autoSwitchInput = false;
    PriorityStore(parts.folder.path()).save(settings);
    auto engine = parts.makeEngine();
    engine->start();
    return engine;
}

void buildPane(benchmark::State& state)
{
    FakeEngineParts parts;
    const auto engine = engineWith(parts, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DevicePaneView pane(*engine, Direction::input, {});
        pane.resize(671, 560);
        pane.show();
        QCoreApplication::processEvents();
    }
    state.SetComplexityN(state.range(0));
}

void reorderAndRebuild(benchmark::State& state)
{
    FakeEngineParts parts;
    const auto engine = engineWith(parts, static_cast<int>(state.range(0)));
    DevicePaneView pane(*engine, Direction::input, {});
    pane.resize(671, 560);
    pane.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        engine->moveDown("uid0", Direction::input);
        engine->moveUp("uid0", Direction::input);
        pane.rebuild();
        QCoreApplication::processEvents();
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(buildPane)->Arg(10)->Arg(100)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(reorderAndRebuild)->Arg(10)->Arg(100)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
