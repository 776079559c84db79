#pragma once

#include <dbus/dbus.h>

#include <memory>

namespace vantorelle::libdbus {

// Owners of libdbus objects, for the one-shot bus calls made without a toolkit.
struct ConnectionClose {
    void operator()(DBusConnection* connection) const noexcept
    {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
};
struct MessageUnref {
    void operator()(DBusMessage* message) const noexcept { dbus_message_unref(message); }
};
// A private connection: closing it leaves any shared one of the process alone.
using Connection = std::unique_ptr<DBusConnection, ConnectionClose>;
using Message = std::unique_ptr<DBusMessage, MessageUnref>;

// A DBusError freed with its owner.
struct Error {
    DBusError error;
    Error() noexcept { dbus_error_init(&error); }
    ~Error() { dbus_error_free(&error); }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
};

} // namespace vantorelle::libdbus
