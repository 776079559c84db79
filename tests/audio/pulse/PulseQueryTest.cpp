#include "support/platform/PulseTestSupport.h"

#include "support/platform/PulseEventLog.h"
#include "support/platform/QtWait.h"

namespace vantorelle::test {
namespace {

using Queries = PulseDaemonSuite;

TEST_F(Queries, ListsSinksAndSourcesWithKindsAndBuiltInFlag)
{
    ASSERT_TRUE(daemon().addSink("laptop_speakers", {{"device.description", "Laptop Speakers"},
                                                     {"device.form_factor", "internal"},
                                                     {"device.bus", "pci"}}));
    ASSERT_TRUE(daemon().addSink("alsa_output.pci-0000_00_1f.3.hdmi-stereo",
                                 {{"device.description", "Monitor"}, {"device.bus", "pci"}}));
    ASSERT_TRUE(daemon().addSink("digital_out", {{"device.bus", "pci"}, {"device.string", "iec958:0"}}));
    ASSERT_TRUE(daemon().addSink("usb_headset", {{"device.description", "Headset"}, {"device.bus", "usb"}}));
    ASSERT_TRUE(daemon().addSource("internal_mic", {{"device.description", "Internal Microphone"},
                                                    {"device.bus", "platform"}}));
    ASSERT_TRUE(daemon().addSource("usb_mic", {{"device.bus", "usb"}}));

    const auto system = makeReadySystem();
    const std::vector<AudioDevice> devices = connectedDevices(*system);
    const auto speakers = findByUid(devices, "laptop_speakers");
    const auto hdmi = findByUid(devices, "alsa_output.pci-0000_00_1f.3.hdmi-stereo");
    const auto digital = findByUid(devices, "digital_out");
    const auto headset = findByUid(devices, "usb_headset");
    const auto internalMic = findByUid(devices, "internal_mic");
    const auto usbMic = findByUid(devices, "usb_mic");
    ASSERT_TRUE(speakers && hdmi && digital && headset && internalMic && usbMic);

    EXPECT_EQ(speakers->name, "Laptop Speakers");
    EXPECT_TRUE(speakers->isOutput);
    EXPECT_FALSE(speakers->isInput);
    EXPECT_TRUE(speakers->isBuiltIn);
    EXPECT_FALSE(hdmi->isBuiltIn);
    EXPECT_FALSE(digital->isBuiltIn);
    EXPECT_FALSE(headset->isBuiltIn);
    EXPECT_EQ(internalMic->name, "Internal Microphone");
    EXPECT_TRUE(internalMic->isInput);
    EXPECT_FALSE(internalMic->isOutput);
    EXPECT_TRUE(internalMic->isBuiltIn);
    EXPECT_FALSE(usbMic->isBuiltIn);

    // Sinks first, then sources, as the server lists them; ids unique and never 0.
    EXPECT_EQ(devices.size(), 6u);
    std::vector<AudioObjectID> ids;
    for (const AudioDevice& device : devices) {
        EXPECT_NE(device.id, 0u);
        ids.push_back(device.id);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end());
    EXPECT_TRUE(devices.front().isOutput);
    EXPECT_TRUE(devices.back().isInput);
}

TEST_F(Queries, MonitorsAndThePlaceholderAreNeverListed)
{
    ASSERT_TRUE(daemon().addSink("auto_null"));
    ASSERT_TRUE(daemon().addSink("speakers"));
    const auto system = makeReadySystem();
    const std::vector<AudioDevice> devices = connectedDevices(*system);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices.front().uid, "speakers");

    // A report's one look sees the same.
    EXPECT_EQ(connectedDevices(*PulseAudioSystem::snapshot()), devices);
}

TEST_F(Queries, NamesComeThroughIntact)
{
    std::vector<std::string> names{"Desk | Speakers", "Tab\there and\nnewline", "Микрофон 日本語 🎧",
                                   "  spaced  "};
    // pipewire-pulse reads module arguments without escapes, so quotes and backslashes cannot be
    // handed to it; PulseAudio can take them.
    if (!daemon().isPipeWire()) names.push_back("He said \"hi\", it's \\ fine");
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(daemon().addSink(QString("named_%1").arg(i),
                                     {{"device.description", QString::fromStdString(names[i])}}));
    }
    ASSERT_TRUE(daemon().addSink("nameless", {{"device.description", ""}}));

    const std::vector<AudioDevice> devices = connectedDevices(*makeReadySystem());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto device = findByUid(devices, "named_" + std::to_string(i));
        ASSERT_TRUE(device) << i;
        EXPECT_EQ(device->name, names[i]);
    }
    const auto nameless = findByUid(devices, "nameless");
    ASSERT_TRUE(nameless);
    EXPECT_EQ(nameless->name, "nameless");
}

TEST_F(Queries, BluetoothHeadsetKeepsItsUidAcrossProfiles)
{
    const auto highQuality = daemon().addSink(
        "bluez_sink.AA_BB_CC_DD_EE_FF.a2dp_sink",
        {{"device.bus", "bluetooth"}, {"device.string", "AA:BB:CC:DD:EE:FF"}});
    ASSERT_TRUE(highQuality);
    const auto system = makeReadySystem();
    EXPECT_TRUE(findByUid(connectedDevices(*system), "bluez:AA:BB:CC:DD:EE:FF:output"));

    ASSERT_TRUE(daemon().unload(*highQuality));
    ASSERT_TRUE(daemon().addSink("bluez_output.AA_BB_CC_DD_EE_FF.headset-head-unit",
                                 {{"device.api", "bluez5"}, {"api.bluez5.address", "AA:BB:CC:DD:EE:FF"}}));
    ASSERT_TRUE(daemon().addSource("bluez_input.AA_BB_CC_DD_EE_FF.headset-head-unit",
                                   {{"device.api", "bluez5"}, {"api.bluez5.address", "AA:BB:CC:DD:EE:FF"}}));
    ASSERT_TRUE(test::waitUntil([&] { return connectedDevices(*system).size() == 2; }));
    const std::vector<AudioDevice> devices = connectedDevices(*system);
    EXPECT_TRUE(findByUid(devices, "bluez:AA:BB:CC:DD:EE:FF:output"));
    EXPECT_TRUE(findByUid(devices, "bluez:AA:BB:CC:DD:EE:FF:input"));
    EXPECT_EQ(devices.size(), 2u);
}

TEST_F(Queries, DefaultsAreReadAndSetPerDirection)
{
    ASSERT_TRUE(daemon().addSink("first_out"));
    ASSERT_TRUE(daemon().addSink("second_out"));
    ASSERT_TRUE(daemon().addSource("first_in"));
    ASSERT_TRUE(daemon().addSource("second_in"));
    ASSERT_TRUE(daemon().setDefaultSink("first_out"));
    ASSERT_TRUE(daemon().setDefaultSource("first_in"));

    const auto system = makeReadySystem();
    const std::vector<AudioDevice> devices = connectedDevices(*system);
    const auto firstOut = findByUid(devices, "first_out");
    const auto secondOut = findByUid(devices, "second_out");
    const auto firstIn = findByUid(devices, "first_in");
    const auto secondIn = findByUid(devices, "second_in");
    ASSERT_TRUE(firstOut && secondOut && firstIn && secondIn);
    EXPECT_EQ(defaultUID(*system, Direction::output), "first_out");
    EXPECT_EQ(defaultUID(*system, Direction::input), "first_in");

    // A set is answered later; the backend shows its outcome once the sets have settled.
    EXPECT_TRUE(system->setDefault(Direction::output, "second_out"));
    EXPECT_TRUE(system->setDefault(Direction::input, "second_in"));
    bool settled = false;
    system->whenSetsSettled([&settled] { settled = true; });
    ASSERT_TRUE(test::waitUntil([&settled] { return settled; }));
    EXPECT_EQ(defaultUID(*system, Direction::output), "second_out");
    EXPECT_EQ(defaultUID(*system, Direction::input), "second_in");
    EXPECT_TRUE(test::waitUntil([this] { return daemon().defaultSink() == "second_out"; }));
    EXPECT_TRUE(test::waitUntil([this] { return daemon().defaultSource() == "second_in"; }));

    // A device of the other direction, one that is gone, or no device at all is refused.
    EXPECT_FALSE(system->setDefault(Direction::output, "first_in"));
    EXPECT_FALSE(system->setDefault(Direction::input, "first_out"));
    EXPECT_FALSE(system->setDefault(Direction::output, ""));
    EXPECT_FALSE(system->setDefault(Direction::output, "gone_out"));
    EXPECT_EQ(daemon().defaultSink(), "second_out");
}

// One connection serves every call, however many: reads come from what it knows.
TEST_F(Queries, OneConnectionServesEveryCall)
{
    ASSERT_TRUE(daemon().addSink("speakers"));
    ASSERT_TRUE(daemon().addSink("other"));
    const auto clientCount = [this] {
        return daemon().pactl({"list", "short", "clients"}).value_or("").count('\n');
    };
    const int before = clientCount();
    ASSERT_GT(before, 0);

    const auto system = makeReadySystem();
    for (int round = 0; round < 20; ++round) {
        const std::vector<AudioDevice> devices = connectedDevices(*system);
        const auto chosen = findByUid(devices, round % 2 == 0 ? "speakers" : "other");
        ASSERT_TRUE(chosen);
        EXPECT_TRUE(system->setDefault(Direction::output, chosen->uid));
    }
    EXPECT_TRUE(test::waitUntil([this] { return daemon().defaultSink() == "other"; }));
    // On PipeWire, a second connection reads its own record of the defaults.
    const int ours = daemon().isPipeWire() ? 2 : 1;
    EXPECT_TRUE(test::waitUntil([&] { return clientCount() == before + ours; }))
        << clientCount() << " clients, " << before << " before";
}

TEST_F(Queries, NoSinksMeansNoDefaultOutput)
{
    // A session priority as a real microphone has: WirePlumber 0.5 weighs the monitors of sinks
    // for the default input too, its placeholder sink among them (priority 500).
    ASSERT_TRUE(daemon().addSource("lonely_in", {{"priority.session", "2000"}}));
    // PipeWire's session manager picks the new default a moment after the device appears, and
    // keeps its placeholder sink as the default output, which counts as none.
    ASSERT_TRUE(test::waitUntil([this] { return daemon().defaultSource() == "lonely_in"; }));
    const auto system = makeReadySystem();
    EXPECT_EQ(defaultUID(*system, Direction::output), std::nullopt);
    EXPECT_EQ(defaultUID(*system, Direction::input), "lonely_in");
}

// The reports show the default whether or not it is a usable device: a monitor chosen as the
// default input is hidden from the device list but still is the default.
TEST_F(Queries, AMonitorChosenAsDefaultInputIsStillTheDefault)
{
    ASSERT_TRUE(daemon().addSink("speakers", {{"device.description", "Speakers"}}));
    ASSERT_TRUE(daemon().setDefaultSource("speakers.monitor"));
    ASSERT_TRUE(test::waitUntil([this] { return daemon().defaultSource() == "speakers.monitor"; }));
    const auto system = makeReadySystem();
    const std::optional<DefaultDevice> input = system->defaults().value_or(SystemDefaults{}).input;
    ASSERT_TRUE(input.has_value());
    EXPECT_EQ(input->uid, "speakers.monitor");
}

// The server remembers an explicitly chosen default apart from the one in effect. After the
// chosen sink goes away another takes over; choosing that one again must not be sent, since a
// set is not free (it rewrites the server's memory of past choices and tells every client).
TEST_F(Queries, SettingTheCurrentDefaultSendsNothing)
{
    ASSERT_TRUE(daemon().addSink("chosen"));
    ASSERT_TRUE(daemon().addSink("fallback"));
    const auto chosenModule = daemon().addSink("later");
    ASSERT_TRUE(chosenModule);
    ASSERT_TRUE(daemon().setDefaultSink("later"));
    ASSERT_TRUE(daemon().unload(*chosenModule));
    // PipeWire's session manager picks the successor a moment later.
    ASSERT_TRUE(test::waitUntil([this] {
        const QString now = daemon().defaultSink().value_or("");
        return now == "chosen" || now == "fallback";
    }));
    const QString current = daemon().defaultSink().value_or("");

    const auto system = makeReadySystem();
    const auto currentDevice = findByUid(connectedDevices(*system), current.toStdString());
    ASSERT_TRUE(currentDevice);

    ASSERT_TRUE(test::waitUntil([&] { return defaultUID(*system, Direction::output) == currentDevice->uid; }));
    PulseEventLog log;
    ASSERT_TRUE(log.sync());
    const int serverChanges = log.count("on server");
    EXPECT_TRUE(system->setDefault(Direction::output, currentDevice->uid));
    test::pumpEvents(std::chrono::milliseconds(50));
    ASSERT_TRUE(log.sync());
    EXPECT_EQ(log.count("on server"), serverChanges);

    // A real change is made, and the log sees it. PipeWire at times tells connected clients of a
    // new default seconds late or not at all, while a newly connected client already sees it.
    const QString other = current == "chosen" ? "fallback" : "chosen";
    const auto otherDevice = findByUid(connectedDevices(*system), other.toStdString());
    ASSERT_TRUE(otherDevice);
    EXPECT_TRUE(system->setDefault(Direction::output, otherDevice->uid));
    EXPECT_TRUE(test::waitUntil([this, &other] { return daemon().defaultSink() == other; }));
    if (!daemon().isPipeWire()) {
        EXPECT_TRUE(log.waitFor("on server", serverChanges + 1));
    }
}

} // namespace
} // namespace vantorelle::test
