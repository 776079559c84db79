#include "services/UpowerLidRead.h"

#include "services/LibDBusHandles.h"

#include <dbus/dbus.h>

#include <memory>
#include <optional>
#include <string_view>

namespace vantorelle {

namespace {

using libdbus::Connection;
using libdbus::Message;

Connection openSystemBus() noexcept
{
    DBusError error;
    dbus_error_init(&error);
    Connection connection(dbus_bus_get_private(DBUS_BUS_SYSTEM, &error));
    dbus_error_free(&error);
    if (connection) dbus_connection_set_exit_on_disconnect(connection.get(), false);
    return connection;
}

// The boolean inside a variant, or nothing when it holds another type.
std::optional<bool> variantBool(DBusMessageIter* variant) noexcept
{
    DBusMessageIter value;
    dbus_message_iter_recurse(variant, &value);
    if (dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_BOOLEAN) return std::nullopt;
    dbus_bool_t flag = false;
    dbus_message_iter_get_basic(&value, &flag);
    return flag != 0;
}

// Walks GetAll's a{sv} for the two lid properties.
bool lidClosedIn(DBusMessage* reply) noexcept
{
    DBusMessageIter top;
    if (!dbus_message_iter_init(reply, &top) || dbus_message_iter_get_arg_type(&top) != DBUS_TYPE_ARRAY) return false;
    DBusMessageIter entries;
    dbus_message_iter_recurse(&top, &entries);
    std::optional<bool> present;
    std::optional<bool> closed;
    for (; dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY; dbus_message_iter_next(&entries)) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&entries, &entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
        const char* name = nullptr;
        dbus_message_iter_get_basic(&entry, &name);
        if (!dbus_message_iter_next(&entry) || dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) continue;
        const std::string_view key(name);
        if (key == upower::lidIsPresent) present = variantBool(&entry);
        else if (key == upower::lidIsClosed) closed = variantBool(&entry);
    }
    return upower::lidCountsAsClosed(present, closed);
}

} // namespace

bool readUpowerLidClosed() noexcept
{
    const Connection bus = openSystemBus();
    if (!bus) return false;
    const Message call(dbus_message_new_method_call(upower::service, upower::path,
                                                    upower::propertiesInterface, upower::getAll));
    if (!call) return false;
    const char* interface = upower::interface;
    if (!dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_INVALID)) return false;
    DBusError error;
    dbus_error_init(&error);
    const Message reply(dbus_connection_send_with_reply_and_block(bus.get(), call.get(), upower::readTimeoutMs, &error));
    dbus_error_free(&error);
    return reply && lidClosedIn(reply.get());
}

} // namespace vantorelle
