#pragma once

#include "engine/SwitchEngine.h"
#include "support/core/FakeAudioSystem.h"
#include "support/core/FakeServices.h"
#include "support/core/TempFolder.h"

#include <memory>

namespace vantorelle::test {

// An engine over the in-memory audio system, lid and notifier, with its settings in a
// temporary folder. The references stay valid while `engine` lives.
struct FakeEngineParts {
    FakeEngineParts();
    // Builds the engine (loading whatever settings file the folder holds).
    std::shared_ptr<SwitchEngine> makeEngine();

    TempFolder folder;
    std::unique_ptr<FakeAudioSystem> audioOwner = std::make_unique<FakeAudioSystem>();
    std::unique_ptr<FakeLid> lidOwner = std::make_unique<FakeLid>();
    std::unique_ptr<FakeNotifier> notifierOwner = std::make_unique<FakeNotifier>();
    FakeAudioSystem& audio;
    FakeLid& lid;
    FakeNotifier& notifier;
    std::filesystem::path settingsFile;
};

} // namespace vantorelle::test
