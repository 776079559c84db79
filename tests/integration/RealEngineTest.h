#pragma once

// The engine on the real parts - a private sound server, UPower and the notification service
// from dbusmock - driven by a Qt event loop as in the application.
#include "support/platform/PulseTestSupport.h"
#include "engine/SwitchEngine.h"
#include "services/AppIdentity.h"
#include "services/LidMonitor.h"
#include "services/LogCategories.h"
#include "services/Notifier.h"
#include "services/QtScheduler.h"
#include "store/PriorityStore.h"
#include "store/SettingsJson.h"
#include "support/core/TempFolder.h"
#include "support/platform/DBusServices.h"
#include "support/platform/QtWait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

namespace vantorelle::test {

inline const PulseProperties builtInMic{{"device.description", "Built-in Microphone"},
                                        {"device.form_factor", "internal"},
                                        {"device.bus", "pci"}};
inline const PulseProperties usbMic{{"device.description", "USB Microphone"}, {"device.bus", "usb"}};
inline const PulseProperties speakers{{"device.description", "Laptop Speakers"},
                                      {"device.form_factor", "internal"},
                                      {"device.bus", "pci"}};
inline const PulseProperties headphones{{"device.description", "USB Headphones"}, {"device.bus", "usb"}};

class RealEngineTest : public PulseDaemonSuite {
protected:
    void SetUp() override
    {
        PulseDaemonSuite::SetUp();
        auto& bus = DBusServicesEnvironment::services();
        ASSERT_TRUE(bus.startUpower(true, false));
        bus.clearCalls();
    }

    void TearDown() override
    {
        engine.reset();
        PulseDaemonSuite::TearDown();
    }

    void writeSettings(const StoredSettings& settings)
    {
        writeFile(folder / "settings.json", encodeSettings(settings));
    }

    StoredSettings savedSettings() const { return PriorityStore(folder.path()).load(); }

    // installed: whether the notifier behaves as an installed application (notices to the
    // notification service) or as a bare binary (notices to `out`).
    void startEngine(bool installed)
    {
        if (installed) {
            std::filesystem::create_directories(folder / "prefix" / "bin");
            std::filesystem::create_directories(folder / "prefix" / "share" / "applications");
            writeFile(folder / "prefix" / "share" / "applications" / "vantorelle.desktop", "[Desktop Entry]\n");
        }
        const AppIdentity identity = AppIdentity::forExecutable(
            installed ? folder / "prefix" / "bin" / "vantorelle" : folder / "vantorelle");
        // Traced as the application is: QT_LOGGING_RULES="vantorelle.*.debug=true" tells a failure's story.
        PulseAudioOptions options;
        options.trace = traceTo(audioLog());
        engine = SwitchEngine::create(makeReadySystem(std::move(options)), std::make_unique<PriorityStore>(folder.path()),
                                      std::make_unique<Notifier>(identity, out), std::make_unique<LidMonitor>());
        engine->setTrace(traceTo(engineLog()));
        engine->setScheduler(std::make_unique<QtScheduler>());
        engine->start();
    }

    // Both the server and the engine's published state show `uid` as the default; a failure says
    // which of the two lagged.
    ::testing::AssertionResult waitForDefault(Direction direction, const std::string& uid,
                                              std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        const auto serverDefault = [&] {
            const auto current = direction == Direction::input ? daemon().defaultSource() : daemon().defaultSink();
            return current ? current->toStdString() : std::string("(none)");
        };
        if (waitUntil([&] { return serverDefault() == uid && engine->defaultUID(direction) == uid; }, timeout)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "the server has " << serverDefault() << ", the engine "
                                             << engine->defaultUID(direction).value_or("(none)");
    }

    bool waitForOutput(const std::string& text)
    {
        return waitUntil([&] { return out.str().find(text) != std::string::npos; });
    }

    TempFolder folder;
    std::ostringstream out;
    std::shared_ptr<SwitchEngine> engine;
};

} // namespace vantorelle::test
