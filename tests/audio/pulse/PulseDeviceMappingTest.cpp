#include "audio/pulse/PulseDeviceMapping.h"

#include <gtest/gtest.h>

namespace vantorelle::pulse {
namespace {

PulseEndpoint sink(std::string name)
{
    PulseEndpoint endpoint;
    endpoint.direction = Direction::output;
    endpoint.index = 4;
    endpoint.name = std::move(name);
    endpoint.channels = 2;
    return endpoint;
}

PulseEndpoint source(std::string name)
{
    PulseEndpoint endpoint = sink(std::move(name));
    endpoint.direction = Direction::input;
    endpoint.channels = 1;
    return endpoint;
}

TEST(PulseDeviceUids, NameIsTheUidOutsideBluetooth)
{
    PulseEndpoint endpoint = sink("alsa_output.usb-Vendor_Headset-00.analog-stereo");
    endpoint.bus = "usb";
    endpoint.deviceString = "front:2";
    EXPECT_EQ(uidOf(endpoint), "alsa_output.usb-Vendor_Headset-00.analog-stereo");
}

TEST(PulseDeviceUids, BluetoothEndpointsAreNamedByAddressAndDirection)
{
    PulseEndpoint highQuality = sink("bluez_sink.AA_BB_CC_DD_EE_FF.a2dp_sink");
    highQuality.bus = "bluetooth";
    highQuality.deviceString = "AA:BB:CC:DD:EE:FF";
    PulseEndpoint headset = sink("bluez_sink.AA_BB_CC_DD_EE_FF.handsfree_head_unit");
    headset.api = "bluez5";
    headset.bluezAddress = "AA:BB:CC:DD:EE:FF";
    headset.deviceString = "/org/bluez/hci0/dev_AA_BB_CC_DD_EE_FF";
    PulseEndpoint microphone = source("bluez_source.AA_BB_CC_DD_EE_FF.handsfree_head_unit");
    microphone.api = "bluez";
    microphone.deviceString = "AA:BB:CC:DD:EE:FF";

    EXPECT_EQ(uidOf(highQuality), "bluez:AA:BB:CC:DD:EE:FF:output");
    EXPECT_EQ(uidOf(headset), uidOf(highQuality)); // the address property wins over device.string
    EXPECT_EQ(uidOf(microphone), "bluez:AA:BB:CC:DD:EE:FF:input");
}

TEST(PulseDeviceUids, BluetoothWithoutAddressAndMonitorsKeepTheirNames)
{
    PulseEndpoint anonymous = sink("bluez_sink.unknown");
    anonymous.bus = "bluetooth";
    EXPECT_EQ(uidOf(anonymous), "bluez_sink.unknown");

    PulseEndpoint monitor = source("bluez_sink.AA_BB_CC_DD_EE_FF.a2dp_sink.monitor");
    monitor.isMonitor = true;
    monitor.bus = "bluetooth";
    monitor.deviceString = "AA:BB:CC:DD:EE:FF";
    EXPECT_EQ(uidOf(monitor), "bluez_sink.AA_BB_CC_DD_EE_FF.a2dp_sink.monitor");
}

TEST(PulseDeviceFlags, MonitorsAndPlaceholdersAreHidden)
{
    PulseEndpoint monitor = source("speakers.monitor");
    monitor.isMonitor = true;
    PulseEndpoint classedMonitor = source("other.monitor");
    classedMonitor.deviceClass = "monitor";
    EXPECT_TRUE(isHiddenEndpoint(monitor));
    EXPECT_TRUE(isHiddenEndpoint(classedMonitor));
    EXPECT_TRUE(isHiddenEndpoint(sink("auto_null")));
    EXPECT_TRUE(isHiddenEndpoint(source("auto_null.monitor")));
    EXPECT_FALSE(isHiddenEndpoint(sink("auto_null_extra")));
    EXPECT_FALSE(isHiddenEndpoint(source("mic")));
}

TEST(PulseDeviceFlags, InternalBusOrFormFactorIsBuiltIn)
{
    PulseEndpoint speakers = sink("alsa_output.pci-0000_00_1f.3.analog-stereo");
    speakers.bus = "pci";
    speakers.activePort = "analog-output-speaker";
    PulseEndpoint socMicrophone = source("alsa_input.platform-sof.HiFi__Mic1__source");
    socMicrophone.bus = "platform";
    PulseEndpoint marked = sink("speakers");
    marked.formFactor = "internal";
    PulseEndpoint usb = sink("alsa_output.usb-headset");
    usb.bus = "usb";
    EXPECT_TRUE(hasBuiltInTransport(speakers));
    EXPECT_TRUE(hasBuiltInTransport(socMicrophone));
    EXPECT_TRUE(hasBuiltInTransport(marked));
    EXPECT_FALSE(hasBuiltInTransport(usb));
    EXPECT_FALSE(hasBuiltInTransport(sink("plain")));
}

TEST(PulseDeviceFlags, DigitalOutputsOnTheInternalCardAreNotBuiltIn)
{
    const auto onPci = [](std::string name) {
        PulseEndpoint endpoint = sink(std::move(name));
        endpoint.bus = "pci";
        endpoint.formFactor = "internal";
        return endpoint;
    };
    PulseEndpoint byName = onPci("alsa_output.pci-0000_00_1f.3.HDMI-stereo");
    PulseEndpoint byProfile = onPci("alsa_output.pci-0000_00_1f.3.3");
    byProfile.profileName = "hdmi-stereo-extra1";
    PulseEndpoint byPort = onPci("card0.out");
    byPort.activePort = "[Out] DisplayPort2";
    PulseEndpoint bySpdifPort = onPci("card0.out2");
    bySpdifPort.activePort = "iec958-stereo-output";
    PulseEndpoint byDeviceString = onPci("card0.out3");
    byDeviceString.deviceString = "hdmi:0,7";
    for (const PulseEndpoint& endpoint : {byName, byProfile, byPort, bySpdifPort, byDeviceString}) {
        EXPECT_FALSE(hasBuiltInTransport(endpoint)) << endpoint.name;
    }
}

// What the server sends for one endpoint of the laptop's own card, with its ports as libpulse
// gives them: the first port is the active one.
struct PortFacts {
    const char* name;
    const char* description;
    std::uint32_t type;
    int available;
};

template <typename Info, typename PortInfo>
PulseEndpoint onTheLaptopCard(const char* name, std::vector<PortFacts> facts)
{
    std::vector<PortInfo> ports(facts.size());
    std::vector<PortInfo*> portPointers;
    for (std::size_t i = 0; i < facts.size(); ++i) {
        ports[i].name = facts[i].name;
        ports[i].description = facts[i].description;
        ports[i].type = facts[i].type;
        ports[i].available = facts[i].available;
        portPointers.push_back(&ports[i]);
    }
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_DEVICE_BUS, "pci");
    pa_proplist_sets(properties, PA_PROP_DEVICE_FORM_FACTOR, "internal");
    Info info{};
    info.name = name;
    info.description = name;
    info.channel_map.channels = 2;
    info.proplist = properties;
    info.n_ports = static_cast<std::uint32_t>(portPointers.size());
    info.ports = portPointers.empty() ? nullptr : portPointers.data();
    info.active_port = portPointers.empty() ? nullptr : portPointers.front();
    if constexpr (std::is_same_v<Info, pa_source_info>) info.monitor_of_sink = PA_INVALID_INDEX;
    PulseEndpoint endpoint = endpointOf(info);
    pa_proplist_free(properties);
    return endpoint;
}

TEST(PulseDeviceFlags, TheActivePortDecidesWhatIsTheMachinesOwn)
{
    const auto out = [](const char* name, std::vector<PortFacts> ports) {
        return onTheLaptopCard<pa_sink_info, pa_sink_port_info>(name, std::move(ports));
    };
    const auto in = [](const char* name, std::vector<PortFacts> ports) {
        return onTheLaptopCard<pa_source_info, pa_source_port_info>(name, std::move(ports));
    };
    constexpr int yes = PA_PORT_AVAILABLE_YES;
    constexpr int unknown = PA_PORT_AVAILABLE_UNKNOWN;
    const struct {
        PulseEndpoint endpoint;
        bool builtIn;
    } cases[] = {
        {out("analog-stereo", {{"analog-output-speaker", "Speakers", PA_DEVICE_PORT_TYPE_SPEAKER, unknown}}), true},
        {out("analog-stereo", {{"analog-output-headphones", "Headphones", PA_DEVICE_PORT_TYPE_HEADPHONES, yes}}), false},
        {out("HiFi__Speaker__sink", {{"[Out] Speaker", "Speaker", PA_DEVICE_PORT_TYPE_UNKNOWN, unknown}}), true},
        {out("HiFi__Headphones__sink", {{"[Out] Headphones", "Headphones", PA_DEVICE_PORT_TYPE_UNKNOWN, yes}}), false},
        {out("HiFi__HDMI1__sink", {{"[Out] HDMI1", "HDMI / DisplayPort 1 Output", PA_DEVICE_PORT_TYPE_HDMI, yes}}), false},
        {out("alsa_output.pci-0000_00_1f.3.pro-output-0", {}), false},
        {in("analog-stereo", {{"analog-input-internal-mic", "Internal Microphone", PA_DEVICE_PORT_TYPE_MIC, unknown}}), true},
        {in("analog-stereo", {{"analog-input-headset-mic", "Headset Microphone", PA_DEVICE_PORT_TYPE_HEADSET, yes}}), false},
        {in("analog-stereo", {{"analog-input-mic", "Microphone", PA_DEVICE_PORT_TYPE_MIC, yes}}), false},
        {in("HiFi__Mic1__source", {{"[In] Mic1", "Digital Microphone", PA_DEVICE_PORT_TYPE_UNKNOWN, unknown}}), true},
        {in("HiFi__Mic2__source", {{"[In] Mic2", "Headphones Stereo Microphone", PA_DEVICE_PORT_TYPE_UNKNOWN, yes}}), false},
        {in("no-ports", {}), true},
    };
    for (const auto& [endpoint, builtIn] : cases) {
        EXPECT_EQ(hasBuiltInTransport(endpoint), builtIn) << endpoint.name << " on " << endpoint.activePort;
    }
}

TEST(PulseDeviceFlags, AnEndpointWhoseEveryPortIsUnavailableIsNotUsable)
{
    const auto out = [](std::vector<PortFacts> ports) {
        return onTheLaptopCard<pa_sink_info, pa_sink_port_info>("HiFi__HDMI1__sink", std::move(ports));
    };
    constexpr auto hdmi = PA_DEVICE_PORT_TYPE_HDMI;
    EXPECT_FALSE(isUsableEndpoint(out({{"[Out] HDMI1", "HDMI", hdmi, PA_PORT_AVAILABLE_NO}})));
    EXPECT_FALSE(isUsableEndpoint(out({{"a", "A", hdmi, PA_PORT_AVAILABLE_NO}, {"b", "B", hdmi, PA_PORT_AVAILABLE_NO}})));
    EXPECT_TRUE(isUsableEndpoint(out({{"a", "A", hdmi, PA_PORT_AVAILABLE_NO}, {"b", "B", hdmi, PA_PORT_AVAILABLE_YES}})));
    EXPECT_TRUE(isUsableEndpoint(out({{"a", "A", hdmi, PA_PORT_AVAILABLE_UNKNOWN}})));
    EXPECT_TRUE(isUsableEndpoint(out({}))) << "virtual devices have no ports";
}

TEST(PulseDevices, KindComesFromFormFactorIconAndBusNeverTheName)
{
    struct Case {
        const char* formFactor;
        const char* iconName;
        const char* bus;
        const char* activePort;
        DeviceKind expected;
    };
    const std::vector<Case> cases{
        {"headset", "", "usb", "", DeviceKind::headphones},
        {"", "audio-headphones-bluetooth", "", "", DeviceKind::headphones},
        {"", "", "bluetooth", "", DeviceKind::headphones},
        {"speaker", "", "bluetooth", "", DeviceKind::other},
        {"webcam", "", "usb", "", DeviceKind::camera},
        {"", "camera-web-usb", "usb", "", DeviceKind::camera},
        {"", "", "pci", "hdmi-output-0", DeviceKind::display},
        {"tv", "", "", "", DeviceKind::display},
        {"internal", "audio-card-pci", "pci", "analog-output-speaker", DeviceKind::other},
    };
    for (const Case& c : cases) {
        PulseEndpoint endpoint = sink("Headset Camera on HDMI");
        endpoint.formFactor = c.formFactor;
        endpoint.iconName = c.iconName;
        endpoint.bus = c.bus;
        endpoint.activePort = c.activePort;
        EXPECT_EQ(kindOf(endpoint), c.expected) << c.formFactor << '/' << c.iconName << '/' << c.bus;
    }
}

TEST(PulseDevices, OneDecisionWhatTheEngineSeesOfAnEndpoint)
{
    PulseEndpoint speakers = sink("speakers");
    speakers.description = "Speakers";
    EXPECT_EQ(deviceOf(speakers), (AudioDevice{5, "speakers", "Speakers", false, true, false}));
    const std::optional<AudioDevice> mic = deviceOf(source("mic"));
    ASSERT_TRUE(mic);
    EXPECT_EQ(mic->name, "mic") << "no description: the UID is the name";
    EXPECT_TRUE(mic->isInput && !mic->isOutput);
    EXPECT_NE(mic->id, 0u);
    EXPECT_NE(mic->id, deviceOf(speakers)->id) << "a sink and a source of one index are two devices";

    PulseEndpoint monitor = source("speakers.monitor");
    monitor.isMonitor = true;
    PulseEndpoint silent = sink("silent");
    silent.channels = 0;
    PulseEndpoint emptyJack = sink("jack");
    emptyJack.allPortsUnavailable = true;
    PulseEndpoint far = sink("far");
    far.index = 0xffffffff;
    for (const PulseEndpoint& hidden : {monitor, silent, emptyJack, far, sink("auto_null")}) {
        EXPECT_FALSE(deviceOf(hidden)) << hidden.name;
    }
}

} // namespace
} // namespace vantorelle::pulse

#include "audio/pulse/ServerMirror.h"

namespace vantorelle::pulse {
namespace {

using Change = MirrorChange;
using std::chrono::milliseconds;

// What the server does, one step at a time, and what the mirror must make of it.
enum class Op { plug, plugMonitor, unplug, headsetArrives, headsetLeaves, cardGoes, portsEmpty, portsBack, volume, reuseIndex, tick };
struct Step {
    Op op;
    Direction direction = Direction::output;
    std::uint32_t index = 0;
    int atMs = 0;
    Change expected = Change::none;
};
struct Sequence {
    const char* name;
    bool afterAbsence;
    std::vector<Step> steps;
};

constexpr std::uint32_t headsetCard = 7;

PulseEndpoint headset(Direction direction, std::uint32_t index)
{
    PulseEndpoint endpoint = direction == Direction::output ? sink("bluez_output.AA_BB.1") : source("bluez_input.AA_BB.0");
    endpoint.index = index;
    endpoint.card = headsetCard;
    endpoint.bluezAddress = "AA:BB";
    return endpoint;
}

PulseEndpoint usb(Direction direction, std::uint32_t index)
{
    PulseEndpoint endpoint = direction == Direction::output ? sink("usb-dac") : source("usb-mic");
    endpoint.name += std::to_string(index);
    endpoint.index = index;
    return endpoint;
}

// A complete first look: the headset's card and its high-quality sink (10), a USB DAC (3).
struct MirrorSequences : ::testing::TestWithParam<Sequence> {
    ServerMirror::TimePoint at(int ms) const { return start + milliseconds(ms); }
    void look(bool afterAbsence)
    {
        mirror.beginLook(afterAbsence, start);
        EXPECT_EQ(mirror.listed(Direction::output, {headset(Direction::output, 10), usb(Direction::output, 3)}), Change::none);
        EXPECT_EQ(mirror.listed(Direction::input, {}), Change::none);
        EXPECT_EQ(mirror.listedCards({PulseCard{headsetCard, "bluez_card.AA_BB", "a2dp-sink"}}), Change::none);
        EXPECT_FALSE(mirror.isComplete());
        EXPECT_EQ(mirror.listedDefaults({"bluez_output.AA_BB.1", ""}), Change::quiet) << "a first look is quiet";
        EXPECT_TRUE(mirror.isComplete());
    }
    Change run(const Step& step)
    {
        const auto now = at(step.atMs);
        switch (step.op) {
        case Op::plug: return mirror.endpointArrived(usb(step.direction, step.index), now);
        case Op::plugMonitor: {
            PulseEndpoint monitor = usb(Direction::input, step.index);
            monitor.isMonitor = true;
            return mirror.endpointArrived(monitor, now);
        }
        case Op::unplug:
        case Op::headsetLeaves: return mirror.endpointRemoved(step.direction, step.index, now);
        case Op::headsetArrives: return mirror.endpointArrived(headset(step.direction, step.index), now);
        case Op::cardGoes: return mirror.cardRemoved(headsetCard, now);
        case Op::portsEmpty:
        case Op::portsBack:
        case Op::volume: {
            PulseEndpoint dac = usb(Direction::output, 3);
            dac.allPortsUnavailable = step.op == Op::portsEmpty;
            return mirror.endpointArrived(dac, now);
        }
        case Op::reuseIndex: return mirror.endpointArrived(usb(step.direction, step.index + 100), now);
        case Op::tick: return mirror.tick(now);
        }
        return Change::none;
    }
    const ServerMirror::TimePoint start = std::chrono::steady_clock::now();
    ServerMirror mirror{milliseconds(2000)};
};

TEST_P(MirrorSequences, EachStepMeansWhatItShould)
{
    look(GetParam().afterAbsence);
    for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
        const Step& step = GetParam().steps[i];
        EXPECT_EQ(run(step), step.expected) << "step " << i;
        // A headset between two profiles is never shown gone: its devices are not read meanwhile.
        if (mirror.isHolding()) {
            EXPECT_TRUE(mirror.nextDeadline().has_value()) << "step " << i;
        }
    }
    EXPECT_FALSE(mirror.isHolding());
}

const Sequence sequences[] = {
    // A call starts (PipeWire): the high-quality sink goes, the headset profile's sink and
    // microphone come 25 ms later; the change settles 50 ms after the last of them.
    {"CallStartIsQuiet", false,
     {{Op::headsetLeaves, Direction::output, 10, 0}, {Op::tick, {}, 0, 20},
      {Op::headsetArrives, Direction::output, 11, 25}, {Op::headsetArrives, Direction::input, 12, 30},
      {Op::tick, {}, 0, 60}, {Op::tick, {}, 0, 80, Change::quiet}}},
    // And back, with another device plugged in meanwhile: that is news, told with the end.
    {"CallEndWithAPlugIsNews", false,
     {{Op::headsetLeaves, Direction::output, 10, 0}, {Op::headsetArrives, Direction::output, 11, 15},
      {Op::headsetArrives, Direction::input, 12, 16}, {Op::tick, {}, 0, 66, Change::quiet},
      {Op::headsetLeaves, Direction::input, 12, 100}, {Op::headsetLeaves, Direction::output, 11, 100},
      {Op::plug, Direction::output, 4, 150}, {Op::headsetArrives, Direction::output, 13, 400},
      {Op::tick, {}, 0, 450, Change::news}}},
    {"AHeadsetWhoseCardGoesIsGoneAtOnce", false,
     {{Op::headsetLeaves, Direction::output, 10, 0}, {Op::cardGoes, {}, 0, 5, Change::news}, {Op::tick, {}, 0, 2000}}},
    {"AProfileThatNeverComesIsALoss", false,
     {{Op::headsetLeaves, Direction::output, 10, 0}, {Op::tick, {}, 0, 1499}, {Op::tick, {}, 0, 1500, Change::news}}},
    {"CardFirstThenEndpointsIsAPlainUnplug", false,
     {{Op::cardGoes, {}, 0, 0}, {Op::headsetLeaves, Direction::output, 10, 1, Change::news}}},
    {"MonitorsVolumeAndAvailability", false,
     {{Op::plugMonitor, {}, 20, 0}, {Op::unplug, Direction::input, 20, 0}, {Op::unplug, Direction::input, 99, 0},
      {Op::volume, {}, 0, 0}, {Op::portsEmpty, {}, 0, 0, Change::news}, {Op::portsEmpty, {}, 0, 0},
      {Op::portsBack, {}, 0, 0, Change::news}}},
    {"PlugsAndUnplugsAreNews", false,
     {{Op::plug, Direction::input, 5, 0, Change::news}, {Op::unplug, Direction::input, 5, 1, Change::news},
      // PipeWire hands a freed index to the next node.
      {Op::reuseIndex, Direction::output, 3, 2, Change::news}}},
    // A server that (re)appeared brings its devices up one by one: part of the quiet first look.
    {"WhatAReappearedServerBringsUpIsQuiet", true,
     {{Op::plug, Direction::input, 5, 100, Change::quiet}, {Op::plug, Direction::input, 6, 2000, Change::news}}},
};
INSTANTIATE_TEST_SUITE_P(Server, MirrorSequences, ::testing::ValuesIn(sequences),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ServerMirrorDefaults, AnAcknowledgedSetStandsAgainstOlderReportsForAWhile)
{
    ServerMirror mirror;
    const auto start = std::chrono::steady_clock::now();
    mirror.beginLook(false, start);
    mirror.listedDefaults({"speakers", "mic"});
    EXPECT_TRUE(mirror.setAcknowledged(Direction::output, "usb-dac", start));
    EXPECT_FALSE(mirror.defaultsReported({"speakers", "mic"}, start + milliseconds(10))) << "a report from before";
    EXPECT_EQ(mirror.defaults().sink, "usb-dac");
    EXPECT_FALSE(mirror.defaultsReported({"usb-dac", "mic"}, start + milliseconds(20))) << "confirmed";
    EXPECT_TRUE(mirror.defaultsReported({"speakers", "mic"}, start + milliseconds(30))) << "changed elsewhere";
    EXPECT_TRUE(mirror.setAcknowledged(Direction::input, "usb-mic", start));
    EXPECT_TRUE(mirror.defaultsReported({"speakers", "mic"}, start + ServerMirror::acknowledgedSetStands));
    EXPECT_EQ(mirror.defaults().source, "mic") << "the server did not follow it in time";
}

} // namespace
} // namespace vantorelle::pulse
