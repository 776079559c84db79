#pragma once

#include "engine/NoticeSink.h"
#include "services/AppIdentity.h"

#include <memory>
#include <ostream>
#include <string>

namespace vantorelle {

class BusConnection;

// Notices through the freedesktop notification service on the session bus. Every call is
// asynchronous; a notice that no server takes is lost without a trace. Without an application
// identity there is no service to talk to: notices go to `out` as "[notification] " lines.
class Notifier final : public NoticeSink {
public:
    // Without an identity, notices go to standard output.
    explicit Notifier(const AppIdentity& identity = AppIdentity::current());
    Notifier(const AppIdentity& identity, std::ostream& out);
    ~Notifier() override;

    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    void setPlaySound(bool playSound) override { playSound_ = playSound; }
    // Nothing to prompt for: with an identity it only asks whether a server is there, which
    // also starts a server that the bus activates on demand.
    void askPermission() override;
    // Each post is a fresh notice; the sound switch is taken now, not at delivery.
    void post(const NoticeText& notice) override;

private:
    // The session bus, connected on first use and again after it was lost; null when absent.
    BusConnection* sessionBus();

    bool hasIdentity_;
    std::ostream* out_;
    bool playSound_ = false;
    std::unique_ptr<BusConnection> bus_;
};

} // namespace vantorelle
