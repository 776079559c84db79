#include "support/core/EngineFixture.h"

namespace vantorelle::test {

FakeEngineParts::FakeEngineParts()
    : audio(*audioOwner), lid(*lidOwner), notifier(*notifierOwner), settingsFile(folder / "settings.json")
{
}

std::shared_ptr<SwitchEngine> FakeEngineParts::makeEngine()
{
    return SwitchEngine::create(std::move(audioOwner), std::make_unique<CountingStore>(folder.path(), saves),
                                std::move(notifierOwner), std::move(lidOwner));
}

std::shared_ptr<SwitchEngine> FakeEngineParts::makeEngine(const StoredSettings& stored)
{
    PriorityStore(folder.path()).save(stored);
    return makeEngine();
}

} // namespace vantorelle::test
