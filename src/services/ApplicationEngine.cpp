#include "services/ApplicationEngine.h"

#include "audio/pipewire/PipeWireDefaults.h"
#include "audio/pulse/PulseAudioSystem.h"
#include "audio/pulse/QtMainloop.h"
#include "engine/SwitchEngine.h"
#include "services/LidMonitor.h"
#include "services/LogCategories.h"
#include "services/Notifier.h"
#include "services/QtScheduler.h"
#include "store/PriorityStore.h"

namespace vantorelle {

std::shared_ptr<SwitchEngine> makeApplicationEngine()
{
    PulseAudioOptions options;
    options.trace = traceTo(audioLog());
    auto engine = SwitchEngine::create(std::make_unique<PulseAudioSystem>(std::move(options), pulse::makeQtMainloop(),
                                                                          pipewire::PipeWireDefaults::factory()),
                                       std::make_unique<PriorityStore>(), std::make_unique<Notifier>(),
                                       std::make_unique<LidMonitor>());
    engine->setTrace(traceTo(engineLog()));
    engine->setScheduler(std::make_unique<QtScheduler>());
    return engine;
}

} // namespace vantorelle
