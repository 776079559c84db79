#pragma once

#include "engine/SwitchEngine.h"
#include "store/PriorityStore.h"
#include "support/core/FakeAudioSystem.h"
#include "support/core/FakeServices.h"
#include "support/core/TempFolder.h"

#include <memory>

namespace vantorelle::test {

// The settings file in a folder, counting the saves made through it.
class CountingStore final : public SettingsStore {
public:
    CountingStore(const std::filesystem::path& folder, int& saves) : file_(folder), saves_(saves) {}
    StoredSettings load() const override { return file_.load(); }
    bool save(const StoredSettings& settings) const override
    {
        ++saves_;
        return file_.save(settings);
    }

private:
    PriorityStore file_;
    int& saves_;
};

// An engine over the in-memory audio system, lid and notifier, with its settings in a
// temporary folder. The references stay valid while `engine` lives.
struct FakeEngineParts {
    FakeEngineParts();
    // Builds the engine (loading whatever settings file the folder holds).
    std::shared_ptr<SwitchEngine> makeEngine();
    // Builds it over a settings file an earlier run left with `stored`.
    std::shared_ptr<SwitchEngine> makeEngine(const StoredSettings& stored);

    TempFolder folder;
    std::unique_ptr<FakeAudioSystem> audioOwner = std::make_unique<FakeAudioSystem>();
    std::unique_ptr<FakeLid> lidOwner = std::make_unique<FakeLid>();
    std::unique_ptr<FakeNotifier> notifierOwner = std::make_unique<FakeNotifier>();
    FakeAudioSystem& audio;
    FakeLid& lid;
    FakeNotifier& notifier;
    std::filesystem::path settingsFile;
    // Saves the engine made.
    int saves = 0;
};

} // namespace vantorelle::test
