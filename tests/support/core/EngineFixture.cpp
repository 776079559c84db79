#include "support/core/EngineFixture.h"

namespace vantorelle::test {

FakeEngineParts::FakeEngineParts()
    : audio(*audioOwner), lid(*lidOwner), notifier(*notifierOwner), settingsFile(folder / "settings.json")
{
}

std::shared_ptr<SwitchEngine> FakeEngineParts::makeEngine()
{
    return SwitchEngine::create(std::make_unique<AudioDeviceManager>(std::move(audioOwner)),
                                std::make_unique<PriorityStore>(folder.path()),
                                std::move(notifierOwner), std::move(lidOwner));
}

} // namespace vantorelle::test
