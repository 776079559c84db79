#include "cli/CommandRun.h"

#include "audio/pulse/PulseAudioSystem.h"
#include "model/PrintableText.h"
#include "services/InstanceBus.h"
#include "services/LibDBusHandles.h"
#include "services/UpowerLidRead.h"
#include "store/PriorityStore.h"

#include <iostream>
#include <memory>
#include <string_view>

namespace vantorelle {

namespace {

using libdbus::Connection;
using libdbus::Message;
using ErrorFree = libdbus::Error;

// The instance may be busy with a pass; a hung one must not hold a key press for long.
constexpr int instanceTimeoutMs = 5000;

// What the running instance said; std::nullopt when there is none to ask.
std::optional<int> askRunningInstance(const DeviceCommand& command)
{
    ErrorFree connectError;
    const Connection bus(dbus_bus_get_private(DBUS_BUS_SESSION, &connectError.error));
    if (!bus) return std::nullopt;
    dbus_connection_set_exit_on_disconnect(bus.get(), false);
    const bool select = command.kind == DeviceCommand::Kind::select;
    const Message call(dbus_message_new_method_call(instanceBus::service, instanceBus::path, instanceBus::interface,
                                                    select ? instanceBus::select : instanceBus::next));
    if (!call) return std::nullopt;
    // Asking must never start an instance.
    dbus_message_set_auto_start(call.get(), false);
    const std::string direction(rawValue(command.direction));
    const std::string name = command.name.value_or(std::string());
    const char* directionArgument = direction.c_str();
    const char* nameArgument = name.c_str();
    if (!dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &directionArgument, DBUS_TYPE_INVALID)
        || (select && !dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &nameArgument, DBUS_TYPE_INVALID))) {
        return std::nullopt;
    }
    ErrorFree callError;
    const Message reply(dbus_connection_send_with_reply_and_block(bus.get(), call.get(), instanceTimeoutMs, &callError.error));
    if (reply) return 0;
    const std::string_view error = callError.error.name != nullptr ? callError.error.name : "";
    const std::string message = callError.error.message != nullptr ? callError.error.message : "";
    if (error == instanceBus::badNameError || error == instanceBus::noDeviceError) {
        std::cerr << "vantorelle: " << printableLine(message) << '\n';
        return error == instanceBus::badNameError ? commandBadName : commandFailed;
    }
    // Nobody owns the name, or an older instance without commands: the server is asked directly.
    if (error == DBUS_ERROR_SERVICE_UNKNOWN || error == DBUS_ERROR_NAME_HAS_NO_OWNER || error == DBUS_ERROR_UNKNOWN_METHOD
        || error == DBUS_ERROR_UNKNOWN_OBJECT || error == DBUS_ERROR_UNKNOWN_INTERFACE) {
        return std::nullopt;
    }
    std::cerr << "vantorelle: the running instance did not answer: " << printableLine(message) << '\n';
    return commandFailed;
}

int chooseOnServer(const DeviceCommand& command)
{
    const PriorityStore store;
    const std::unique_ptr<PulseAudioSystem> audio = PulseAudioSystem::snapshot();
    const std::optional<std::vector<AudioDevice>> connected = audio->devices();
    const std::optional<SystemDefaults> defaults = audio->defaults();
    if (!connected || !defaults) {
        std::cerr << "vantorelle: no sound server answered; no device was chosen.\n";
        return commandFailed;
    }
    const StoredSettings settings = store.load();
    const Direction direction = command.direction;
    const std::optional<std::string> current = defaults->uid(direction);
    const ChoiceScope scope{settings.priority(direction), *connected, direction, readUpowerLidClosed()};
    const ChoiceOutcome outcome = pickFor(command, scope, current);
    if (!outcome.uid) {
        std::cerr << "vantorelle: " << outcome.error << '\n';
        return outcome.badName ? commandBadName : commandFailed;
    }
    if (outcome.uid == current) return 0;
    // The request must reach the server, and be answered, before the process ends.
    if (!audio->setDefault(direction, *outcome.uid) || !audio->settleSnapshotSets()) {
        std::cerr << "vantorelle: the sound server did not take the new default.\n";
        return commandFailed;
    }
    return 0;
}

} // namespace

int runDeviceCommand(const DeviceCommand& command)
{
    if (command.kind == DeviceCommand::Kind::select && !command.name) {
        std::cerr << "vantorelle: --select-" << rawValue(command.direction) << " needs a device name (see --help).\n";
        return commandBadName;
    }
    if (const std::optional<int> answered = askRunningInstance(command)) return *answered;
    return chooseOnServer(command);
}

} // namespace vantorelle
