#pragma once

#include "engine/AudioSystem.h"
#include "engine/CallRouting.h"
#include "engine/DeviceRow.h"
#include "engine/LidSource.h"
#include "engine/NoticeSink.h"
#include "engine/ObserverList.h"
#include "engine/Scheduler.h"
#include "model/AudioDevice.h"
#include "model/Direction.h"
#include "model/StoredSettings.h"
#include "model/Trace.h"
#include "store/SettingsStore.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantorelle {

struct SwitchEvent;

// The published fields; observers are told after every assignment, changed or not.
enum class EngineField {
    connected,
    settings,
    defaultInputUID,
    defaultOutputUID,
    lidClosed,
    settingsUnsaved,
    otherChooser,
    recordingApplications,
};

// A program seen recording since start, as the calls applications list shows it.
struct RecordingApplication {
    // What the settings list it by (AudioStream::caller()).
    std::string caller;
    // The shortest name its streams gave: "Chromium" rather than "Chromium input".
    std::string name;
    // Every name its streams gave.
    std::set<std::string> names;
    // `application.icon_name`; empty when it gave none.
    std::string iconName;

    bool operator==(const RecordingApplication&) const = default;
};

// Holds the live state and keeps each default on the best usable device of its stack: it turns
// the system's and the lid's events into rule runs, saves and notices, and publishes the result.
// The stacks, the rule and the notices' wording are values of their own (DeviceStacks,
// SwitchRule, SwitchNotices). Confined to one thread: every event and every view call arrives
// there, one at a time. Sets reach the system before observers are told of what led to them.
class SwitchEngine : public std::enable_shared_from_this<SwitchEngine>, private AudioSystem::Listener {
public:
    using Subscription = ObserverList<EngineField>::Subscription;

    // Loads the settings; touches no device and registers nothing.
    static std::shared_ptr<SwitchEngine> create(std::unique_ptr<AudioSystem> audio,
                                                std::unique_ptr<SettingsStore> store,
                                                std::unique_ptr<NoticeSink> notifier,
                                                std::unique_ptr<LidSource> lidMonitor);
    ~SwitchEngine();
    SwitchEngine(const SwitchEngine&) = delete;
    SwitchEngine& operator=(const SwitchEngine&) = delete;

    // Published state.
    const std::vector<AudioDevice>& connected() const noexcept { return connected_; }
    const StoredSettings& settings() const noexcept { return settings_; }
    const std::optional<std::string>& defaultInputUID() const noexcept { return defaultInputUID_; }
    const std::optional<std::string>& defaultOutputUID() const noexcept { return defaultOutputUID_; }
    const std::optional<std::string>& defaultUID(Direction direction) const noexcept
    {
        return direction == Direction::input ? defaultInputUID_ : defaultOutputUID_;
    }
    bool lidClosed() const noexcept { return lidClosed_; }
    // The last save of the settings failed (a read-only folder, a full disk): what changed
    // since lasts only until the program ends.
    bool settingsUnsaved() const noexcept { return settingsUnsaved_; }
    // Another program that chooses defaults too, as the system last told with the defaults;
    // observers hear of it only when it changes.
    const std::optional<OtherChooser>& otherChooser() const noexcept { return otherChooser_; }

    // Replaces and publishes the settings, keeping the notifier's sound in step; saves nothing
    // (the operations below save what the user changes).
    void setSettings(StoredSettings settings);
    [[nodiscard]] Subscription observe(std::function<void(EngineField)> observer);
    // Where each pass tells what it saw, chose and why; silent without one.
    void setTrace(std::unique_ptr<Trace> trace) { trace_ = std::move(trace); }
    // Holds a call's notices a moment and keeps a program's call across its streams closing and
    // reopening; without one, both happen at once.
    void setScheduler(std::unique_ptr<Scheduler> scheduler) { scheduler_ = std::move(scheduler); }

    // Installs the callbacks, starts listening and runs the first scan. Later calls do nothing.
    void start();

    bool autoSwitch(Direction direction) const noexcept
    {
        return direction == Direction::input ? settings_.autoSwitchInput : settings_.autoSwitchOutput;
    }
    bool notifyOnSwitch(Direction direction) const noexcept
    {
        return direction == Direction::input ? settings_.notifyInputSwitch : settings_.notifyOutputSwitch;
    }

    // The applications seen recording since start, in the order they were first seen, with the
    // ones the user marked as calls applications in earlier runs after them.
    std::vector<RecordingApplication> recordingApplications() const;

    std::vector<DeviceRow> rows(Direction direction, StackKind kind = StackKind::main) const;
    void setAutoSwitch(bool value, Direction direction);
    // Calls of the direction go to the pick of its calls stack (filled from the main stack the
    // first time), or come back to the default.
    void setRouteCalls(bool value, Direction direction);
    // Marks a program (a RecordingApplication's caller) as one whose sound is a call while it
    // both records and plays; unmarking also drops an entry of an earlier version naming one of
    // its streams.
    void setCallsApplication(const std::string& caller, bool isCalls);
    // Any program that both records and plays is in a call.
    void setCallsFromAnyProgram(bool value);
    // The program is marked as a calls application.
    bool isCallsApplication(const std::string& caller) const;
    // The notice switches: each publishes and saves; turning a notice on asks for permission.
    void setNotifyOnSwitch(bool value, Direction direction);
    void setNotifyOnDeviceChange(bool value);
    void setPlaySound(bool value);
    // The stack edits act on the direction's main stack or on its calls stack.
    void moveUp(const std::string& uid, Direction direction, StackKind kind = StackKind::main);
    void moveDown(const std::string& uid, Direction direction, StackKind kind = StackKind::main);
    // Moves the entries at `from` to just before the entry that stood at `to` in the list as
    // it was before the move (the end when `to` is the list's length).
    void move(Direction direction, const std::set<std::size_t>& from, std::size_t to,
              StackKind kind = StackKind::main);
    void remove(const std::string& uid, Direction direction, StackKind kind = StackKind::main);
    // Makes a device a choice by hand may take the default at once, as a choice in the
    // system's sound settings would: it stands until the rule's next moment (a device-list
    // change, a lid change or an edit). Other UIDs are ignored. `announce`: a switch notice when
    // switch notices are on (a command from the keyboard gets its feedback that way).
    void chooseDefault(const std::string& uid, Direction direction, bool announce = false);
    // The entry's user additions (every entry of the direction with this UID). Each publishes
    // and saves; an entry let back into or taken out of the rule applies the rule at once.
    void setAutomatic(const std::string& uid, Direction direction, bool automatic,
                      StackKind kind = StackKind::main);
    // The name is the device's in both stacks of the direction. An empty alias gives the entry
    // its device's own name back.
    void rename(const std::string& uid, Direction direction, const std::string& alias);

private:
    SwitchEngine(std::unique_ptr<AudioSystem> audio, std::unique_ptr<SettingsStore> store,
                 std::unique_ptr<NoticeSink> notifier, std::unique_ptr<LidSource> lidMonitor);

    // The system's events.
    void deviceListChanged(bool quiet) override;
    // A default changed elsewhere: read and publish the defaults.
    void defaultChanged() override;
    void streamsChanged() override;
    void lidChanged(bool closed);
    // Sends the calls where routing wants them, and tells of calls that began elsewhere than
    // on the default; notes the applications seen recording. `current`: the defaults as read
    // by the caller's pass, when it read them.
    void routeCallStreams(const std::optional<SystemDefaults>& current = std::nullopt);

    // The switch notices (and, for a device-list pass, the device notices) a moment tells.
    struct Announcement {
        // The default of each direction before the moment (input, output).
        std::array<std::optional<std::string>, 2> previous{};
        // The directions whose switch is told, in order.
        std::vector<Direction> switches{};
        std::vector<AudioDevice> added{};
        std::vector<AudioDevice> removed{};
        std::optional<bool> lidNowClosed{};
    };
    // How a moment of the rule (a pass, a lid change, an edit, a choice by hand) ends: once the
    // system has answered its sets, the defaults are read once, the observers told and the
    // notices posted. With no set sent, the observers are told at once; notices still wait for
    // earlier sets, so they come in order.
    struct Conclusion {
        bool setSent = false;
        // Told with the defaults.
        std::vector<EngineField> fields{};
        std::optional<Announcement> announcement{};
    };
    void conclude(Conclusion conclusion);
    // Reads the defaults (kept as they were when the system does not answer) and tells the
    // observers of them and of `fields`.
    void readDefaultsAndPublish(const std::vector<EngineField>& fields);
    void announce(const Announcement& announcement, std::uint64_t began);

    enum class RuleOutcome { off, noCandidate, inPlace, sent, refused };
    // Sends the set the rule asks for, unless its pick is the default already.
    RuleOutcome applyRule(Direction direction, const SystemDefaults& current);
    // An edit's end: the rule's set first (when the edit calls for one), the save, the settings
    // published, then the defaults once the set is answered.
    void finishEdit(std::optional<Direction> ruleFor, bool reroute = false);
    void changeFlag(bool StoredSettings::*flag, bool value, std::optional<Direction> ruleFor);
    void notifySwitch(Direction direction, const SwitchEvent& event);
    void takeDefaults(const SystemDefaults& defaults);
    // Writes the current settings and records whether that failed; `settingsUnsaved` follows.
    void saveSettings();
    void publish(std::initializer_list<EngineField> fields) const;
    bool tracing() const noexcept { return trace_ && trace_->isOn(); }

    std::vector<AudioDevice> connected_;
    StoredSettings settings_;
    std::optional<std::string> defaultInputUID_;
    std::optional<std::string> defaultOutputUID_;
    bool lidClosed_ = false;
    bool settingsUnsaved_ = false;
    std::optional<OtherChooser> otherChooser_;

    std::unique_ptr<AudioSystem> audio_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<NoticeSink> notifier_;
    std::unique_ptr<LidSource> lidMonitor_;
    std::unique_ptr<Trace> trace_;
    bool started_ = false;
    bool firstScanDone_ = false;
    // A lid change that came while the system did not answer, for the pass that applies it.
    std::optional<bool> lidChangeToAnnounce_;
    // The latest switch notice of each direction (input, output), numbered, so a pass answered
    // late can tell that a later one has told its switch already.
    struct SwitchNotice {
        std::string uid;
        std::uint64_t serial = 0;
    };
    std::array<std::optional<SwitchNotice>, 2> lastSwitchNotice_;
    std::uint64_t switchNotices_ = 0;

    CallPlacements callPlacements_;
    std::vector<RecordingApplication> recordingApplications_;
    // The programs in a call at the last look (see CallRecognition).
    std::set<std::string> talking_;
    // Calls told as begun (caller, device); told again only after the caller's calls have all
    // ended for a moment.
    std::set<std::pair<std::string, std::string>> toldCalls_;
    // Landings waiting for their notice, and whether the moments are already asked for.
    std::vector<CallLanding> heldCallNotices_;
    bool noticesDue_ = false;
    bool forgetDue_ = false;
    std::unique_ptr<Scheduler> scheduler_;
    // Runs `work` on the engine after `delay` (at once without a scheduler), unless it is gone.
    void later(std::chrono::milliseconds delay, void (SwitchEngine::*work)());
    void giveCallNotices();
    void forgetEndedCalls();

    ObserverList<EngineField> observers_;
};

} // namespace vantorelle
