#pragma once

#include "engine/NoticeSink.h"
#include "services/AppIdentity.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace vantorelle {

// Notices through the freedesktop notification service on the session bus. Every call is
// asynchronous; a notice that no server takes is lost without a trace. A body holds device
// names, which come from outside (a Bluetooth device names itself), so where the server reads
// markup in it, it is escaped; the summary is plain text to every server. Without an
// application identity there is no service to talk to: notices go to `out` as plain
// "[notification] " lines.
class Notifier final : public NoticeSink {
public:
    // Without an identity, notices go to standard output.
    explicit Notifier(const AppIdentity& identity = AppIdentity::current());
    Notifier(const AppIdentity& identity, std::ostream& out);
    ~Notifier() override;

    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    void setPlaySound(bool playSound) override { playSound_ = playSound; }
    // Nothing to prompt for: with an identity it only asks what a server there can show,
    // which also starts a server that the bus activates on demand.
    void askPermission() override;
    // Each post is a fresh notice; the sound switch is taken now, not at delivery.
    void post(const NoticeText& notice) override;

    // Whether the notification server said it reads markup in a body; unknown until the
    // current one has answered.
    std::optional<bool> serverReadsMarkup() const;

private:
    class Server;
    // The session bus and its server, connected on first use and again after it was lost;
    // null when absent.
    Server* server();

    bool hasIdentity_;
    std::ostream* out_;
    bool playSound_ = false;
    std::unique_ptr<Server> server_;
};

} // namespace vantorelle
