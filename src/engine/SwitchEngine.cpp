#include "engine/SwitchEngine.h"

#include <algorithm>
#include <utility>
#include <unordered_map>
#include <unordered_set>

namespace vantorelle {

namespace {

bool isAggregateEntry(const SavedDevice& entry)
{
    return isSystemAggregate(entry.uid, entry.name);
}

bool hasDirection(const AudioDevice& device, Direction direction)
{
    return direction == Direction::input ? device.isInput : device.isOutput;
}

// Devices of `from` whose UID is not among those of `other`, in `from`'s order.
std::vector<AudioDevice> missingByUID(const std::vector<AudioDevice>& from,
                                      const std::vector<AudioDevice>& other)
{
    std::unordered_set<std::string> uids;
    for (const AudioDevice& device : other) uids.insert(device.uid);
    std::vector<AudioDevice> result;
    for (const AudioDevice& device : from) {
        if (!uids.contains(device.uid)) result.push_back(device);
    }
    return result;
}

} // namespace

std::unordered_map<std::string, const AudioDevice*> SwitchEngine::indexByUID(const std::vector<AudioDevice>& devices)
{
    std::unordered_map<std::string, const AudioDevice*> index;
    index.reserve(devices.size());
    for (const AudioDevice& device : devices) index.try_emplace(device.uid, &device);
    return index;
}

std::shared_ptr<SwitchEngine> SwitchEngine::create(std::unique_ptr<AudioDeviceManager> manager,
                                                   std::unique_ptr<PriorityStore> store,
                                                   std::unique_ptr<NoticeSink> notifier,
                                                   std::unique_ptr<LidSource> lidMonitor)
{
    return std::shared_ptr<SwitchEngine>(new SwitchEngine(std::move(manager), std::move(store),
                                                          std::move(notifier), std::move(lidMonitor)));
}

SwitchEngine::SwitchEngine(std::unique_ptr<AudioDeviceManager> manager,
                           std::unique_ptr<PriorityStore> store,
                           std::unique_ptr<NoticeSink> notifier,
                           std::unique_ptr<LidSource> lidMonitor)
    : manager_(std::move(manager)),
      store_(std::move(store)),
      notifier_(std::move(notifier)),
      lidMonitor_(std::move(lidMonitor))
{
    notifier_->setPlaySound(false);
    settings_ = store_->load();
    lidClosed_ = lidMonitor_->isClosed();
    notifier_->setPlaySound(settings_.notifySound);
}

SwitchEngine::~SwitchEngine()
{
    // The parts may outlive nothing of ours: drop the callbacks before they are torn down.
    manager_->onDeviceListChange = nullptr;
    manager_->onDefaultChange = nullptr;
    lidMonitor_->setOnChange(nullptr);
}

// ---- published state -------------------------------------------------------------------

void SwitchEngine::setConnected(std::vector<AudioDevice> devices)
{
    connected_ = std::move(devices);
    observers_.notify(EngineField::connected);
}

void SwitchEngine::setSettings(StoredSettings settings)
{
    settings_ = std::move(settings);
    notifier_->setPlaySound(settings_.notifySound);
    observers_.notify(EngineField::settings);
}

void SwitchEngine::saveSettings()
{
    settingsUnsaved_ = !store_->save(settings_);
    observers_.notify(EngineField::settingsUnsaved);
}

void SwitchEngine::setPriority(Direction direction, std::vector<SavedDevice> list)
{
    settings_.priority(direction) = std::move(list);
    observers_.notify(EngineField::settings);
}

void SwitchEngine::setDefaultUID(Direction direction, std::optional<std::string> uid)
{
    if (direction == Direction::input) {
        defaultInputUID_ = std::move(uid);
        observers_.notify(EngineField::defaultInputUID);
    } else {
        defaultOutputUID_ = std::move(uid);
        observers_.notify(EngineField::defaultOutputUID);
    }
}

void SwitchEngine::setLidClosed(bool closed)
{
    lidClosed_ = closed;
    observers_.notify(EngineField::lidClosed);
}

SwitchEngine::Subscription SwitchEngine::observe(std::function<void(EngineField)> observer)
{
    return observers_.subscribe(std::move(observer));
}

bool SwitchEngine::autoSwitch(Direction direction) const noexcept
{
    return direction == Direction::input ? settings_.autoSwitchInput : settings_.autoSwitchOutput;
}

bool SwitchEngine::notifyOnSwitch(Direction direction) const noexcept
{
    return direction == Direction::input ? settings_.notifyInputSwitch : settings_.notifyOutputSwitch;
}

std::optional<std::string> SwitchEngine::readDefaultUID(Direction direction) const
{
    const std::optional<AudioObjectID> id = manager_->defaultDeviceID(direction);
    if (!id) return std::nullopt;
    return manager_->stringProperty(StringProperty::uid, *id);
}

void SwitchEngine::refreshDefaults()
{
    // A server that does not answer tells nothing about the defaults: keep what was known.
    if (!manager_->isAnswering()) return;
    for (const Direction direction : allDirections) setDefaultUID(direction, readDefaultUID(direction));
}

bool SwitchEngine::deferUntilAnswered()
{
    if (manager_->isAnswering()) return false;
    manager_->requestResync();
    return true;
}

void SwitchEngine::afterSets(std::function<void(SwitchEngine&)> then)
{
    const std::weak_ptr<SwitchEngine> weak = weak_from_this();
    manager_->whenSetsSettled([weak, then = std::move(then)] {
        if (const auto engine = weak.lock()) then(*engine);
    });
}

void SwitchEngine::settleAndAnnounce(Announcement announcement)
{
    // A pass's switch is told once the server has answered its sets, with what it then reports.
    afterSets([announcement = std::move(announcement), began = switchNotices_](SwitchEngine& engine) {
        if (announcement.reread) engine.refreshDefaults();
        if (!announcement.announce) return;
        // A switch that a later pass, answered first, has told already is not told twice.
        const auto from = [&engine, began](Direction direction, const std::optional<std::string>& previous) {
            const std::optional<SwitchNotice>& told = engine.lastSwitchNotice_[slotOf(direction)];
            const bool toldSince = told && told->serial > began && told->uid == engine.defaultUID(direction);
            return toldSince ? engine.defaultUID(direction) : previous;
        };
        engine.notifySwitch(Direction::input, from(Direction::input, announcement.previousInput), announcement.added,
                            announcement.removed, announcement.lidNowClosed);
        if (!announcement.withDevices) return;
        engine.notifySwitch(Direction::output, from(Direction::output, announcement.previousOutput),
                            announcement.added, announcement.removed, std::nullopt);
        if (engine.settings_.notifyDeviceChange) {
            const auto shown = [&engine](const AudioDevice& device) {
                return engine.settings_.shownName(device.uid, device.name);
            };
            for (const AudioDevice& device : announcement.added) engine.notifier_->post("Device connected", shown(device));
            for (const AudioDevice& device : announcement.removed) engine.notifier_->post("Device removed", shown(device));
        }
    });
}

// ---- start-up and device-list changes ----------------------------------------------------

void SwitchEngine::start()
{
    if (started_) return;
    started_ = true;

    const bool hasAggregates = std::ranges::any_of(settings_.inputPriority, isAggregateEntry)
        || std::ranges::any_of(settings_.outputPriority, isAggregateEntry);
    if (hasAggregates) {
        for (const Direction direction : allDirections) {
            std::vector<SavedDevice> list = settings_.priority(direction);
            std::erase_if(list, isAggregateEntry);
            setPriority(direction, std::move(list));
        }
        saveSettings();
    }

    const std::weak_ptr<SwitchEngine> weak = weak_from_this();
    manager_->onDeviceListChange = [weak] {
        if (const auto engine = weak.lock()) engine->deviceListChanged();
    };
    manager_->onDefaultChange = [weak] {
        if (const auto engine = weak.lock()) engine->refreshDefaults();
    };
    manager_->onQuietDeviceListChange = [weak] {
        if (const auto engine = weak.lock()) engine->deviceListChanged(true);
    };
    manager_->startListening();
    lidMonitor_->setOnChange([weak](bool closed) {
        if (const auto engine = weak.lock()) engine->lidChanged(closed);
    });
    lidMonitor_->start();
    setLidClosed(lidMonitor_->isClosed());

    if (settings_.notifyInputSwitch || settings_.notifyOutputSwitch || settings_.notifyDeviceChange) {
        notifier_->askPermission();
    }
    deviceListChanged();
}

void SwitchEngine::deviceListChanged(bool quiet)
{
    std::optional<std::vector<AudioDevice>> devices = manager_->readConnectedDevices();
    if (!devices) {
        // No answer is not "no devices": keep everything as it was and run the pass, with the
        // state of that moment, once the server answers again.
        manager_->requestResync();
        return;
    }
    const std::vector<AudioDevice> previous = connected_;
    setConnected(std::move(*devices));
    mergeNewDevices();

    Announcement announcement;
    announcement.previousInput = defaultInputUID_;
    announcement.previousOutput = defaultOutputUID_;
    refreshDefaults();
    const bool inputRead = applyRule(Direction::input);
    const bool outputRead = applyRule(Direction::output);
    announcement.reread = inputRead || outputRead;

    // The first pass on every connection to the server is a fresh look, not news.
    announcement.lidNowClosed = std::exchange(lidChangeToAnnounce_, std::nullopt);
    announcement.announce = firstScanDone_ && !quiet;
    announcement.withDevices = true;
    announcement.added = missingByUID(connected_, previous);
    announcement.removed = missingByUID(previous, connected_);
    firstScanDone_ = true;
    settleAndAnnounce(std::move(announcement));
}

void SwitchEngine::mergeNewDevices()
{
    bool changed = false;
    for (const Direction direction : allDirections) {
        std::vector<SavedDevice> list = settings_.priority(direction);
        const bool wasEmpty = list.empty();
        std::unordered_map<std::string, std::size_t> firstIndex;
        for (std::size_t i = 0; i < list.size(); ++i) firstIndex.try_emplace(list[i].uid, i);

        std::vector<SavedDevice> fresh;
        // A UID the system lists twice counts once, with its first listing (as everywhere else):
        // otherwise it would enter the stack twice, or its two names would be saved in turn on
        // every pass.
        std::unordered_set<std::string> visited;
        for (const AudioDevice& device : connected_) {
            if (!hasDirection(device, direction)) continue;
            if (!visited.insert(device.uid).second) continue;
            const auto known = firstIndex.find(device.uid);
            if (known == firstIndex.end()) {
                fresh.push_back(SavedDevice{device.uid, device.name});
                continue;
            }
            SavedDevice& entry = list[known->second];
            if (entry.name != device.name) {
                entry.name = device.name;
                changed = true;
            }
        }

        if (wasEmpty && !fresh.empty()) {
            // First time this direction is seen: the device already in use becomes rank 1.
            if (const std::optional<std::string> current = readDefaultUID(direction)) {
                const auto it = std::ranges::find(fresh, *current, &SavedDevice::uid);
                if (it != fresh.end()) std::rotate(fresh.begin(), it, it + 1);
            }
        }
        if (!fresh.empty()) {
            list.insert(list.end(), fresh.begin(), fresh.end());
            changed = true;
        }
        setPriority(direction, std::move(list));
    }
    if (changed) saveSettings();
}

// ---- the rule ----------------------------------------------------------------------------

bool SwitchEngine::applyRule(Direction direction)
{
    if (!autoSwitch(direction)) return false;
    if (deferUntilAnswered()) return false;
    const auto byUID = indexByUID(connected_);
    const AudioDevice* chosen = nullptr;
    for (const SavedDevice& entry : settings_.priority(direction)) {
        if (!entry.automatic) continue;
        const auto it = byUID.find(entry.uid);
        if (it == byUID.end()) continue;
        const AudioDevice& device = *it->second;
        if (!hasDirection(device, direction)) continue;
        if (direction == Direction::input && device.isBuiltIn && lidClosed_) continue;
        chosen = &device;
        break;
    }
    if (!chosen) return false;

    const std::optional<AudioObjectID> current = manager_->defaultDeviceID(direction);
    if (!current || *current != chosen->id) manager_->setDefaultDevice(chosen->id, direction);
    return true;
}

void SwitchEngine::lidChanged(bool closed)
{
    if (closed == lidClosed_) return;
    setLidClosed(closed);
    // While the server does not answer, the pass that follows its answer applies this lid state.
    if (deferUntilAnswered()) {
        lidChangeToAnnounce_ = closed;
        return;
    }
    lidChangeToAnnounce_.reset();
    Announcement announcement;
    announcement.previousInput = defaultInputUID_;
    announcement.lidNowClosed = closed;
    announcement.reread = applyRule(Direction::input);
    settleAndAnnounce(std::move(announcement));
}

// ---- notices -----------------------------------------------------------------------------

void SwitchEngine::notifySwitch(Direction direction, const std::optional<std::string>& from,
                                const std::vector<AudioDevice>& added,
                                const std::vector<AudioDevice>& removed,
                                std::optional<bool> lidNowClosed)
{
    if (!notifyOnSwitch(direction)) return;
    const std::optional<std::string>& current = defaultUID(direction);
    if (!current) return;
    if (from && *from == *current) return;
    const auto device = std::ranges::find(connected_, *current, &AudioDevice::uid);
    if (device == connected_.end()) return;
    const std::string newName = settings_.shownName(device->uid, device->name, direction);

    const std::string title = direction == Direction::input ? "Input switched" : "Output switched";
    std::string body;
    const auto removedFrom = from ? std::ranges::find(removed, *from, &AudioDevice::uid) : removed.end();
    if (std::ranges::find(added, *current, &AudioDevice::uid) != added.end()) {
        body = newName + " connected \u2014 now active";
    } else if (removedFrom != removed.end()) {
        body = settings_.shownName(removedFrom->uid, removedFrom->name, direction) + " disconnected \u2014 " + newName + " is now active";
    } else if (lidNowClosed == true) {
        body = "Lid closed \u2014 " + newName + " is now active";
    } else if (lidNowClosed == false) {
        body = "Lid open \u2014 " + newName + " is now active";
    } else {
        body = newName + " is now active";
    }
    notifier_->post(title, body);
    lastSwitchNotice_[slotOf(direction)] = SwitchNotice{*current, ++switchNotices_};
}

} // namespace vantorelle
