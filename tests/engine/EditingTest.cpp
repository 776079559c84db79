#include "EngineTest.h"

namespace vantorelle::test {
namespace {

using namespace devices;

using Uids = std::vector<std::string>;

// Input stack A, B, C, D where A and B are connected (built-in and USB microphone) and C, D
// are remembered but unplugged.
class EditingTest : public EngineTest {
protected:
    void startWith(bool autoSwitchInput)
    {
        StoredSettings stored;
        stored.inputPriority = {saved(builtInMic()), saved(usbMic()), saved(externalMic()),
                                saved(headset())};
        stored.outputPriority = {saved(builtInSpeakers())};
        stored.autoSwitchInput = autoSwitchInput;
        storeSettings(stored);
        addBuiltInDefaults();
        audio().add(usbMic());
        start();
        writes.reset();
        audio().setCalls.clear();
    }

    int settingsEvents = 0;
};

constexpr const char* A = "builtin-mic";
constexpr const char* B = "usb-mic";
constexpr const char* C = "ext-mic";
constexpr const char* D = "usb-headset";

TEST_F(EditingTest, MoveTargetCountsInTheListBeforeTheMove)
{
    startWith(false);
    struct Case {
        std::set<std::size_t> from;
        std::size_t to;
        Uids expected;
    };
    const std::vector<Case> cases = {
        {{0}, 2, {B, A, C, D}},    // one step down names the position after the next entry
        {{0}, 4, {B, C, D, A}},    // the list's length is the end
        {{3}, 0, {D, A, B, C}},
        {{2}, 1, {A, C, B, D}},
        {{0, 2}, 4, {B, D, A, C}}, // moved entries keep their relative order
        {{1, 3}, 1, {A, B, D, C}}, // the target may itself be a moved entry
        {{0, 3}, 2, {B, A, D, C}},
        {{1}, 1, {A, B, C, D}},
        {{1}, 2, {A, B, C, D}},
    };
    const StoredSettings original = engine->settings();
    for (const Case& c : cases) {
        engine->setSettings(original);
        engine->move(Direction::input, c.from, c.to);
        EXPECT_EQ(stack(Direction::input), c.expected) << "to " << c.to;
    }
    EXPECT_EQ(writes.count(), static_cast<int>(cases.size()));
    EXPECT_EQ(fileSettings(), engine->settings());
}

TEST_F(EditingTest, MoveDownWithAutoSwitchOnSwitchesAtOnce)
{
    startWith(true);
    ASSERT_EQ(engine->defaultInputUID(), A);

    engine->moveDown(A, Direction::input);

    EXPECT_EQ(stack(Direction::input), (Uids{B, A, C, D}));
    EXPECT_EQ(engine->defaultInputUID(), B);
    EXPECT_EQ(writes.count(), 1);
    EXPECT_EQ(fileSettings().inputPriority, engine->settings().inputPriority);
}

TEST_F(EditingTest, MoveDownWithAutoSwitchOffOnlyReorders)
{
    startWith(false);
    engine->moveDown(A, Direction::input);
    EXPECT_EQ(stack(Direction::input), (Uids{B, A, C, D}));
    EXPECT_EQ(engine->defaultInputUID(), A);
    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(writes.count(), 1);
}

TEST_F(EditingTest, MoveUpOneStep)
{
    startWith(true);
    engine->moveUp(C, Direction::input);
    EXPECT_EQ(stack(Direction::input), (Uids{A, C, B, D}));
    engine->moveUp(B, Direction::input);
    engine->moveUp(B, Direction::input);
    EXPECT_EQ(stack(Direction::input), (Uids{B, A, C, D}));
    EXPECT_EQ(engine->defaultInputUID(), B);
}

TEST_F(EditingTest, MovesPastEitherEndOrOfUnknownUIDsDoNothing)
{
    startWith(true);
    audio().defaultInput = "usb-mic"; // the user's own choice: any rule run would undo it
    audio().fireDefaultChange();
    const Uids before = stack(Direction::input);
    const auto subscription = engine->observe([this](EngineField field) {
        if (field == EngineField::settings) ++settingsEvents;
    });

    engine->moveUp(A, Direction::input);
    engine->moveDown(D, Direction::input);
    engine->moveUp("never-seen", Direction::input);
    engine->moveDown("never-seen", Direction::input);
    engine->moveDown("builtin-speakers", Direction::output); // a one-entry stack

    EXPECT_EQ(stack(Direction::input), before);
    EXPECT_EQ(writes.count(), 0);
    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(engine->defaultInputUID(), B);
    EXPECT_EQ(settingsEvents, 0);
}

TEST_F(EditingTest, OutOfRangePositionsLoseNoEntry)
{
    startWith(false);
    engine->move(Direction::input, {1, 99}, 500);
    Uids after = stack(Direction::input);
    std::ranges::sort(after);
    Uids expected{A, B, C, D};
    std::ranges::sort(expected);
    EXPECT_EQ(after, expected);
}

TEST_F(EditingTest, RemoveOfAnUnknownUIDStillSaves)
{
    startWith(true);
    engine->remove("never-seen", Direction::input);
    EXPECT_EQ(stack(Direction::input), (Uids{A, B, C, D}));
    EXPECT_EQ(writes.count(), 1);
}

TEST_F(EditingTest, RemoveTakesEveryCopyAndLeavesTheDefaultAlone)
{
    startWith(true);
    StoredSettings withCopy = engine->settings();
    withCopy.inputPriority.push_back(saved(builtInMic()));
    engine->setSettings(withCopy);

    engine->remove(A, Direction::input);

    EXPECT_EQ(stack(Direction::input), (Uids{B, C, D}));
    EXPECT_EQ(engine->defaultInputUID(), A) << "removal applies no rule";
    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_TRUE(notices().empty());
    EXPECT_EQ(fileSettings().inputPriority, engine->settings().inputPriority);
}

TEST_F(EditingTest, SetAutoSwitchOnSwitchesAndOffOnlySaves)
{
    startWith(false);
    engine->moveDown(A, Direction::input);
    ASSERT_EQ(engine->defaultInputUID(), A);
    writes.reset();

    engine->setAutoSwitch(true, Direction::input);
    EXPECT_TRUE(engine->autoSwitch(Direction::input));
    EXPECT_EQ(engine->defaultInputUID(), B);
    EXPECT_EQ(writes.count(), 1);

    audio().setCalls.clear();
    engine->setAutoSwitch(false, Direction::input);
    EXPECT_FALSE(engine->autoSwitch(Direction::input));
    EXPECT_FALSE(fileSettings().autoSwitchInput);
    EXPECT_TRUE(audio().setCalls.empty());
    EXPECT_EQ(writes.count(), 2);
}

TEST_F(EditingTest, EditsOfOneDirectionLeaveTheOtherAlone)
{
    startWith(true);
    audio().add(monitor());
    audio().defaultOutput = "hdmi-monitor"; // chosen by hand, not announced
    engine->moveDown(A, Direction::input);
    EXPECT_EQ(setCallsFor(Direction::output), 0u);
    EXPECT_EQ(stack(Direction::output), (Uids{"builtin-speakers"}));
}

TEST_F(EditingTest, AFailedSaveIsPublishedUntilASaveSucceeds)
{
    // Something that is no file stands where the settings go: every save fails, even as root.
    std::filesystem::create_directory(parts.settingsFile);
    addBuiltInDefaults();
    int announced = 0;
    make();
    const auto subscription = engine->observe([&announced](EngineField field) {
        if (field == EngineField::settingsUnsaved) ++announced;
    });
    EXPECT_FALSE(engine->settingsUnsaved());
    engine->start(); // seeds the stacks and saves them
    EXPECT_TRUE(engine->settingsUnsaved());
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(stack(Direction::input), Uids{A}) << "the edit stands for this run";

    std::filesystem::remove(parts.settingsFile);
    engine->setAutoSwitch(false, Direction::output);
    EXPECT_FALSE(engine->settingsUnsaved());
    EXPECT_FALSE(fileSettings().autoSwitchOutput);
}

} // namespace
} // namespace vantorelle::test
