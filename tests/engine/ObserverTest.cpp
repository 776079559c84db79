#include "EngineTest.h"

#include <map>

namespace vantorelle::test {
namespace {

using namespace devices;

class ObserverTest : public EngineTest {
protected:
    void SetUp() override
    {
        addBuiltInDefaults();
        audio().add(usbMic());
        make();
    }

    // Counts announcements per field from now on.
    SwitchEngine::Subscription record()
    {
        return engine->observe([this](EngineField field) { ++heard[field]; });
    }

    std::map<EngineField, int> heard;
};

TEST_F(ObserverTest, StartAnnouncesEveryPublishedField)
{
    const auto subscription = record();
    engine->start();
    for (const EngineField field : {EngineField::connected, EngineField::settings,
                                    EngineField::defaultInputUID, EngineField::defaultOutputUID,
                                    EngineField::lidClosed}) {
        EXPECT_GT(heard[field], 0) << static_cast<int>(field);
    }
}

TEST_F(ObserverTest, EachKindOfEventReachesObserversWithTheNewValue)
{
    engine->start();
    std::vector<std::string> seen;
    const auto subscription = engine->observe([this, &seen](EngineField field) {
        if (field == EngineField::connected) {
            seen.push_back("connected " + std::to_string(engine->connected().size()));
        } else if (field == EngineField::lidClosed) {
            seen.push_back(engine->lidClosed() ? "closed" : "open");
        } else if (field == EngineField::defaultInputUID) {
            seen.push_back("input " + engine->defaultInputUID().value_or("-"));
        }
    });

    plug(headset());
    EXPECT_NE(std::ranges::find(seen, "connected 4"), seen.end());
    seen.clear();

    lid().report(true);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), "closed");
    EXPECT_NE(std::ranges::find(seen, "input usb-mic"), seen.end()) << "the lid moved the input";
}

TEST_F(ObserverTest, UnchangedValuesAreAnnouncedToo)
{
    engine->start();
    const auto subscription = record();

    audio().fireDefaultChange();
    EXPECT_EQ(heard[EngineField::defaultInputUID], 1);
    EXPECT_EQ(heard[EngineField::defaultOutputUID], 1);

    audio().fireDeviceListChange();
    EXPECT_GT(heard[EngineField::connected], 0);
    EXPECT_GT(heard[EngineField::settings], 0) << "every pass writes the stacks back";
}

TEST_F(ObserverTest, EditsAndSettingsChangesAnnounceSettings)
{
    engine->start();
    const auto subscription = record();
    engine->moveDown("builtin-mic", Direction::input);
    EXPECT_EQ(heard[EngineField::settings], 1);
    engine->remove("usb-mic", Direction::input);
    EXPECT_EQ(heard[EngineField::settings], 2);
    engine->setAutoSwitch(false, Direction::output);
    EXPECT_EQ(heard[EngineField::settings], 3);

    StoredSettings changed = engine->settings();
    changed.notifyDeviceChange = true;
    engine->setSettings(changed);
    EXPECT_EQ(heard[EngineField::settings], 4);
    EXPECT_TRUE(engine->settings().notifyDeviceChange);
}

TEST_F(ObserverTest, SubscriptionUnsubscribesWhenDestroyedOrReset)
{
    engine->start();
    {
        const auto gone = record();
    }
    auto reset = record();
    reset.reset();
    auto moved = record();
    auto target = std::move(moved);
    target = SwitchEngine::Subscription{};

    audio().fireDeviceListChange();
    lid().report(true);
    EXPECT_TRUE(heard.empty());
}

TEST_F(ObserverTest, ObserverMayUnsubscribeWhileBeingTold)
{
    engine->start();
    int calls = 0;
    SwitchEngine::Subscription self;
    self = engine->observe([&calls, &self](EngineField) {
        ++calls;
        self.reset();
    });
    audio().fireDefaultChange();
    EXPECT_EQ(calls, 1);
}

TEST_F(ObserverTest, ObserversMayDestroyOrAddOthersWhileBeingTold)
{
    engine->start();
    // An observer owned by something an earlier observer destroys, as a view closed by another.
    struct Watcher {
        std::vector<std::string>& log;
        std::string name;
        SwitchEngine::Subscription subscription;
    };
    std::vector<std::string> log;
    auto watcher = std::make_unique<Watcher>(Watcher{log, "watcher", {}});
    SwitchEngine::Subscription late;
    const auto first = engine->observe([&](EngineField field) {
        log.push_back("first");
        if (field != EngineField::defaultInputUID) return;
        watcher.reset();
        late = engine->observe([&log](EngineField) { log.push_back("late"); });
    });
    watcher->subscription = engine->observe([w = watcher.get()](EngineField) { w->log.push_back(w->name); });

    audio().fireDefaultChange(); // announces the input, then the output default
    EXPECT_EQ(log, (std::vector<std::string>{"first", "first", "late"}))
        << "the destroyed one is not called, the added one from the next round on";
}

TEST_F(ObserverTest, SubscriptionMayOutliveTheEngine)
{
    engine->start();
    auto subscription = record();
    engine.reset();
    subscription.reset(); // must not touch the destroyed engine
    SUCCEED();
}

TEST_F(ObserverTest, LidCallbackFiredAfterTheEngineIsGoneDoesNothing)
{
    engine->start();
    const std::function<void(bool)> lidChange = lid().onChange();
    ASSERT_TRUE(lidChange);
    const std::weak_ptr<SwitchEngine> weak = engine;

    engine.reset();
    ASSERT_TRUE(weak.expired()) << "the callback must not keep the engine alive";

    lidChange(true);
    EXPECT_EQ(writes.count(), 1) << "only the first-run seeding wrote";
}

TEST_F(ObserverTest, CallbacksInstalledOnlyByStart)
{
    EXPECT_EQ(audio().listenCalls, 0);
    EXPECT_FALSE(lid().onChange());
    engine->start();
    EXPECT_EQ(audio().listenCalls, 1);
    EXPECT_TRUE(lid().onChange());
}

TEST_F(ObserverTest, SetsReachTheSystemBeforeObserversAreTold)
{
    engine->start();
    std::optional<std::size_t> setsWhenFirstTold;
    const auto subscription = engine->observe([this, &setsWhenFirstTold](EngineField) {
        if (!setsWhenFirstTold) setsWhenFirstTold = audio().setCalls.size();
    });
    const std::vector<std::pair<std::string, std::function<void()>>> switches{
        {"lid closed", [this] { lid().report(true); }},
        {"lid open", [this] { lid().report(false); }},
        {"edit", [this] { engine->moveDown("builtin-mic", Direction::input); }},
        {"pass", [this] { unplug("usb-mic"); }},
    };
    for (const auto& [what, run] : switches) {
        const std::size_t before = audio().setCalls.size();
        setsWhenFirstTold.reset();
        run();
        EXPECT_EQ(audio().setCalls.size(), before + 1) << what;
        EXPECT_EQ(setsWhenFirstTold, before + 1) << what;
    }

    // A pass's views wait for the system's answer to its set, and then show what it answered.
    audio().holdSetAnswers = true;
    setsWhenFirstTold.reset();
    plug(usbMic());
    EXPECT_FALSE(setsWhenFirstTold);
    audio().answerSets();
    EXPECT_TRUE(setsWhenFirstTold);
    EXPECT_EQ(engine->defaultInputUID(), "usb-mic");
}

} // namespace
} // namespace vantorelle::test
