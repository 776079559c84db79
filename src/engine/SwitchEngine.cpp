#include "engine/SwitchEngine.h"

#include "engine/DeviceStacks.h"
#include "engine/SwitchNotices.h"
#include "engine/SwitchRule.h"

#include <algorithm>
#include <utility>

namespace vantorelle {

namespace {

std::string uids(const std::vector<AudioDevice>& devices)
{
    std::string text;
    for (const AudioDevice& device : devices) text += (text.empty() ? "" : ", ") + device.uid;
    return text.empty() ? "none" : text;
}

} // namespace

std::shared_ptr<SwitchEngine> SwitchEngine::create(std::unique_ptr<AudioSystem> audio,
                                                   std::unique_ptr<SettingsStore> store,
                                                   std::unique_ptr<NoticeSink> notifier,
                                                   std::unique_ptr<LidSource> lidMonitor)
{
    return std::shared_ptr<SwitchEngine>(
        new SwitchEngine(std::move(audio), std::move(store), std::move(notifier), std::move(lidMonitor)));
}

SwitchEngine::SwitchEngine(std::unique_ptr<AudioSystem> audio, std::unique_ptr<SettingsStore> store,
                           std::unique_ptr<NoticeSink> notifier, std::unique_ptr<LidSource> lidMonitor)
    : audio_(std::move(audio)), store_(std::move(store)), notifier_(std::move(notifier)),
      lidMonitor_(std::move(lidMonitor))
{
    notifier_->setPlaySound(false);
    settings_ = store_->load();
    lidClosed_ = lidMonitor_->isClosed();
    notifier_->setPlaySound(settings_.notifySound);
}

SwitchEngine::~SwitchEngine()
{
    // The system goes first, with the waiters and the listener it holds of ours.
    audio_.reset();
    lidMonitor_->setOnChange(nullptr);
}

// ---- published state -------------------------------------------------------------------

void SwitchEngine::publish(std::initializer_list<EngineField> fields) const
{
    for (const EngineField field : fields) observers_.notify(field);
}

void SwitchEngine::setSettings(StoredSettings settings)
{
    settings_ = std::move(settings);
    notifier_->setPlaySound(settings_.notifySound);
    publish({EngineField::settings});
}

void SwitchEngine::saveSettings()
{
    settingsUnsaved_ = !store_->save(settings_);
}

void SwitchEngine::takeDefaults(const SystemDefaults& defaults)
{
    defaultInputUID_ = defaults.uid(Direction::input);
    defaultOutputUID_ = defaults.uid(Direction::output);
    if (defaults.otherChooser != otherChooser_) {
        otherChooser_ = defaults.otherChooser;
        publish({EngineField::otherChooser});
    }
}

void SwitchEngine::readDefaultsAndPublish(const std::vector<EngineField>& fields)
{
    // A system that does not answer tells nothing about the defaults: keep what was known.
    if (const std::optional<SystemDefaults> current = audio_->defaults()) takeDefaults(*current);
    for (const EngineField field : fields) observers_.notify(field);
    publish({EngineField::defaultInputUID, EngineField::defaultOutputUID});
}

void SwitchEngine::defaultChanged()
{
    readDefaultsAndPublish({});
}

SwitchEngine::Subscription SwitchEngine::observe(std::function<void(EngineField)> observer)
{
    return observers_.subscribe(std::move(observer));
}

// ---- start-up and the system's events ---------------------------------------------------

void SwitchEngine::start()
{
    if (started_) return;
    started_ = true;
    if (stacks::purgeAggregates(settings_)) {
        saveSettings();
        publish({EngineField::settings, EngineField::settingsUnsaved});
    }
    audio_->listen(*this);
    const std::weak_ptr<SwitchEngine> weak = weak_from_this();
    lidMonitor_->setOnChange([weak](bool closed) {
        if (const auto engine = weak.lock()) engine->lidChanged(closed);
    });
    lidMonitor_->start();
    lidClosed_ = lidMonitor_->isClosed();
    publish({EngineField::lidClosed});
    if (settings_.notifyInputSwitch || settings_.notifyOutputSwitch || settings_.notifyDeviceChange) {
        notifier_->askPermission();
    }
    deviceListChanged(false);
}

void SwitchEngine::deviceListChanged(bool quiet)
{
    std::optional<std::vector<AudioDevice>> devices = audio_->devices();
    if (!devices) {
        // No answer is not "no devices": everything stays as it was, and the system brings a
        // pass of its own once it answers again.
        if (tracing()) trace_->write("pass: the sound server does not answer; waiting for it");
        return;
    }
    const SystemDefaults current = audio_->defaults().value_or(SystemDefaults{});
    Announcement announcement{.previous = {defaultInputUID_, defaultOutputUID_},
                              .switches = {Direction::input, Direction::output},
                              .added = stacks::missingByUID(*devices, connected_),
                              .removed = stacks::missingByUID(connected_, *devices),
                              .lidNowClosed = std::exchange(lidChangeToAnnounce_, std::nullopt)};
    connected_ = std::move(*devices);
    if (tracing()) {
        trace_->write(std::string(quiet ? "quiet pass" : "pass") + ": " + std::to_string(connected_.size())
                      + " devices; added " + uids(announcement.added) + "; removed " + uids(announcement.removed)
                      + "; defaults " + current.uid(Direction::input).value_or("none") + ", "
                      + current.uid(Direction::output).value_or("none"));
    }

    bool changed = false;
    for (const Direction direction : allDirections) {
        changed |= stacks::merge(settings_.priority(direction), connected_, direction, current.uid(direction));
        if (settings_.routeCalls(direction)) {
            changed |= stacks::merge(settings_.stack(direction, StackKind::calls), connected_, direction, std::nullopt);
        }
    }
    bool setSent = false;
    for (const Direction direction : allDirections) setSent |= applyRule(direction, current) == RuleOutcome::sent;
    routeCallStreams(current);
    // The sets are on their way; now the file. The views follow once the system has answered
    // them: drawn meanwhile, they would take the processor from the server making the switch.
    if (changed) saveSettings();
    Conclusion conclusion{setSent, {EngineField::connected, EngineField::settings}};
    if (changed) conclusion.fields.push_back(EngineField::settingsUnsaved);
    // The first pass on every connection to the system is a fresh look, not news.
    if (firstScanDone_ && !quiet) conclusion.announcement = std::move(announcement);
    firstScanDone_ = true;
    conclude(std::move(conclusion));
}

void SwitchEngine::lidChanged(bool closed)
{
    if (closed == lidClosed_) return;
    lidClosed_ = closed;
    if (tracing()) trace_->write(closed ? "lid closed" : "lid open");
    const std::optional<SystemDefaults> current = audio_->defaults();
    if (!current) {
        // The pass that follows the system's answer applies this lid state.
        lidChangeToAnnounce_ = closed;
        publish({EngineField::lidClosed});
        return;
    }
    lidChangeToAnnounce_.reset();
    const bool setSent = applyRule(Direction::input, *current) == RuleOutcome::sent;
    routeCallStreams(*current);
    publish({EngineField::lidClosed});
    conclude({setSent, {}, Announcement{.previous = {defaultInputUID_, defaultOutputUID_},
                                        .switches = {Direction::input},
                                        .lidNowClosed = closed}});
}

// ---- the rule ----------------------------------------------------------------------------

SwitchEngine::RuleOutcome SwitchEngine::applyRule(Direction direction, const SystemDefaults& current)
{
    const std::string label(rawValue(direction));
    if (!autoSwitch(direction)) {
        if (tracing()) trace_->write(label + ": auto-switching is off");
        return RuleOutcome::off;
    }
    const RulePick pick = pickDevice(settings_.priority(direction), connected_, direction, lidClosed_);
    if (tracing()) {
        std::string line = label + ": " + (pick.chosen ? "chose " + pick.chosen->uid : "no usable device");
        for (const auto& [uid, reason] : pick.passedOver) line += "; passed over " + uid + " (" + describe(reason) + ")";
        trace_->write(line);
    }
    if (!pick.chosen) return RuleOutcome::noCandidate;
    if (current.uid(direction) == pick.chosen->uid) return RuleOutcome::inPlace;
    const bool sent = audio_->setDefault(direction, pick.chosen->uid);
    if (!sent && tracing()) trace_->write(label + ": the set of " + pick.chosen->uid + " was refused");
    return sent ? RuleOutcome::sent : RuleOutcome::refused;
}

// ---- the end of a moment ------------------------------------------------------------------

void SwitchEngine::conclude(Conclusion conclusion)
{
    if (!conclusion.setSent) readDefaultsAndPublish(conclusion.fields);
    if (!conclusion.setSent && !conclusion.announcement) return;
    // The system is ours, and so are the waiters it holds.
    audio_->whenSetsSettled([this, conclusion = std::move(conclusion), began = switchNotices_] {
        if (conclusion.setSent) readDefaultsAndPublish(conclusion.fields);
        if (conclusion.announcement) announce(*conclusion.announcement, began);
    });
}

void SwitchEngine::announce(const Announcement& announcement, std::uint64_t began)
{
    for (const Direction direction : announcement.switches) {
        // A switch that a later moment, answered first, has told already is not told twice.
        const std::optional<SwitchNotice>& told = lastSwitchNotice_[slotOf(direction)];
        const bool toldSince = told && told->serial > began && told->uid == defaultUID(direction);
        const std::optional<std::string>& from = toldSince ? defaultUID(direction) : announcement.previous[slotOf(direction)];
        notifySwitch(direction, {from, defaultUID(direction), connected_, announcement.added, announcement.removed,
                                 direction == Direction::input ? announcement.lidNowClosed : std::nullopt});
    }
    if (!settings_.notifyDeviceChange) return;
    for (const bool plugged : {true, false}) {
        for (const AudioDevice& device : plugged ? announcement.added : announcement.removed) {
            const NoticeText notice = deviceNotice(withShownNames({device}, settings_).front(), plugged);
            notifier_->post(notice);
        }
    }
}

void SwitchEngine::notifySwitch(Direction direction, const SwitchEvent& event)
{
    if (!notifyOnSwitch(direction)) return;
    // The notice names at most the new default and the device it replaces: only those two take the
    // user's names (naming every connected device on every pass cost a fifth of the pass).
    const auto named = [this, direction](const std::vector<AudioDevice>& devices, const std::optional<std::string>& uid) {
        const auto found = uid ? std::ranges::find(devices, *uid, &AudioDevice::uid) : devices.end();
        return found == devices.end() ? std::vector<AudioDevice>{} : withShownNames({*found}, settings_, direction);
    };
    const std::vector<AudioDevice> connected = named(event.connected, event.current);
    const std::vector<AudioDevice> removed = named(event.removed, event.from);
    const std::optional<NoticeText> notice =
        switchNotice(direction, {event.from, event.current, connected, event.added, removed, event.lidNowClosed});
    if (!notice) return;
    notifier_->post(*notice);
    lastSwitchNotice_[slotOf(direction)] = SwitchNotice{*event.current, ++switchNotices_};
}

} // namespace vantorelle
