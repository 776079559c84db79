#include "audio/pulse/QtMainloop.h"

#include <pulse/timeval.h>

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <optional>

namespace vantorelle::pulse {

// What the three kinds share: freeing, and the guard that keeps an event's memory while one of
// its callbacks runs (the callback may free the event).
class QtMainloop::Event {
public:
    Event(QtMainloop& loop, void* userdata) : loop_(loop), api_(loop.api()), userdata_(userdata) {}
    virtual ~Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void free() noexcept
    {
        if (dead_) return;
        dead_ = true;
        notifyDestroyed();
        loop_.release(*this);
    }

    bool dead() const noexcept { return dead_; }
    bool running() const noexcept { return running_ > 0; }
    virtual void stop() noexcept = 0;
    // The file descriptor of an input/output event.
    virtual std::optional<int> descriptor() const noexcept { return std::nullopt; }

protected:
    // A new event of the loop behind `api`, owned by it; null when memory runs out, which
    // libpulse treats as a failure.
    template <typename Kind, typename... Arguments>
    static Kind* add(pa_mainloop_api* api, Arguments... arguments) noexcept
    {
        auto& loop = *static_cast<QtMainloop*>(api->userdata);
        try {
            auto event = std::make_unique<Kind>(loop, arguments...);
            Kind* const raw = event.get();
            loop.events_.push_back(std::move(event));
            return raw;
        } catch (...) {
            return nullptr;
        }
    }

    // A freed input/output event of `fd` that still watches it, for a new owner.
    static Event* retired(pa_mainloop_api* api, int fd) noexcept
    {
        return static_cast<QtMainloop*>(api->userdata)->adopt(fd);
    }

    virtual void notifyDestroyed() noexcept = 0;

    // Once the outermost callback ends the loop may free this event: nothing after leave().
    template <typename Call>
    void dispatch(const Call& call) noexcept
    {
        if (dead_) return;
        ++running_;
        ++loop_.depth_;
        call();
        --running_;
        loop_.leave();
    }

    // A freed event taken on again by a new owner.
    void revive(void* userdata) noexcept
    {
        dead_ = false;
        userdata_ = userdata;
    }

    QtMainloop& loop_;
    pa_mainloop_api* api_;
    void* userdata_;

private:
    bool dead_ = false;
    int running_ = 0;
};

namespace {

// libpulse hands foreign loops wall-clock deadlines (gettimeofday), not monotonic ones.
int millisecondsUntil(const timeval& deadline) noexcept
{
    timeval now{};
    pa_gettimeofday(&now);
    if (pa_timeval_cmp(&deadline, &now) <= 0) return 0;
    const pa_usec_t micro = pa_timeval_diff(&deadline, &now);
    return static_cast<int>(std::min<pa_usec_t>((micro + 999) / 1000, INT_MAX));
}

// What a kind adds in libpulse's own types: its handle (the event itself), its callback and its
// destroy callback.
template <typename Self, typename Handle, typename Callback, typename DestroyCallback>
class EventKind : public QtMainloop::Event {
public:
    EventKind(QtMainloop& loop, Callback callback, void* userdata) : Event(loop, userdata), callback_(callback) {}

    static Self& of(Handle* handle) noexcept { return *reinterpret_cast<Self*>(handle); }
    static void freeOf(Handle* handle) noexcept { of(handle).free(); }
    static void setDestroyOf(Handle* handle, DestroyCallback callback) noexcept { of(handle).destroy_ = callback; }

protected:
    template <typename... Arguments>
    static Handle* make(pa_mainloop_api* api, Arguments... arguments) noexcept
    {
        return handleOf(add<Self>(api, arguments...));
    }
    static Handle* handleOf(Self* event) noexcept { return reinterpret_cast<Handle*>(event); }

    // The callback, with `arguments` between the handle and the user data.
    template <typename... Arguments>
    void fire(Arguments... arguments) noexcept
    {
        dispatch([&] { callback_(api_, handleOf(static_cast<Self*>(this)), arguments..., userdata_); });
    }

    Callback callback_;
    DestroyCallback destroy_ = nullptr;

private:
    void notifyDestroyed() noexcept override
    {
        if (destroy_) destroy_(api_, handleOf(static_cast<Self*>(this)), userdata_);
    }
};

class IoEvent final : public EventKind<IoEvent, pa_io_event, pa_io_event_cb_t, pa_io_event_destroy_cb_t> {
public:
    IoEvent(QtMainloop& loop, int fd, pa_io_event_flags_t events, pa_io_event_cb_t callback, void* userdata)
        : EventKind(loop, callback, userdata), fd_(fd), read_(fd, QSocketNotifier::Read),
          write_(fd, QSocketNotifier::Write)
    {
        QObject::connect(&read_, &QSocketNotifier::activated, [this] { fire(fd_, PA_IO_EVENT_INPUT); });
        QObject::connect(&write_, &QSocketNotifier::activated, [this] { fire(fd_, PA_IO_EVENT_OUTPUT); });
        enable(events);
    }

    void enable(pa_io_event_flags_t events) noexcept
    {
        read_.setEnabled((events & (PA_IO_EVENT_INPUT | PA_IO_EVENT_HANGUP | PA_IO_EVENT_ERROR)) != 0);
        write_.setEnabled((events & PA_IO_EVENT_OUTPUT) != 0);
    }

    static pa_io_event* create(pa_mainloop_api* api, int fd, pa_io_event_flags_t events,
                               pa_io_event_cb_t callback, void* userdata) noexcept
    {
        if (auto* const event = static_cast<IoEvent*>(retired(api, fd))) {
            event->takeOn(events, callback, userdata);
            return handleOf(event);
        }
        return make(api, fd, events, callback, userdata);
    }
    static void enableOf(pa_io_event* event, pa_io_event_flags_t events) noexcept { of(event).enable(events); }

    void stop() noexcept override
    {
        read_.setEnabled(false);
        write_.setEnabled(false);
    }
    std::optional<int> descriptor() const noexcept override { return fd_; }

private:
    // A freed event of the same descriptor, for its new owner; the notifiers stay as they are
    // where the new flags keep them.
    void takeOn(pa_io_event_flags_t events, pa_io_event_cb_t callback, void* userdata) noexcept
    {
        revive(userdata);
        callback_ = callback;
        destroy_ = nullptr;
        enable(events);
    }

    int fd_;
    QSocketNotifier read_;
    QSocketNotifier write_;
};

// Fires once at its deadline; libpulse re-arms it from the callback when it wants more.
class TimeEvent final : public EventKind<TimeEvent, pa_time_event, pa_time_event_cb_t, pa_time_event_destroy_cb_t> {
public:
    TimeEvent(QtMainloop& loop, const timeval* deadline, pa_time_event_cb_t callback, void* userdata)
        : EventKind(loop, callback, userdata)
    {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(&deadline_); });
        restart(deadline);
    }

    // No deadline disarms the event.
    void restart(const timeval* deadline) noexcept
    {
        if (!deadline) {
            timer_.stop();
            return;
        }
        deadline_ = *deadline;
        timer_.start(millisecondsUntil(deadline_));
    }

    static pa_time_event* create(pa_mainloop_api* api, const timeval* deadline,
                                 pa_time_event_cb_t callback, void* userdata) noexcept
    {
        return make(api, deadline, callback, userdata);
    }
    static void restartOf(pa_time_event* event, const timeval* deadline) noexcept { of(event).restart(deadline); }

private:
    void stop() noexcept override { timer_.stop(); }

    timeval deadline_{};
    QTimer timer_;
};

// Runs on every turn of the event loop while enabled, as libpulse expects.
class DeferEvent final
    : public EventKind<DeferEvent, pa_defer_event, pa_defer_event_cb_t, pa_defer_event_destroy_cb_t> {
public:
    DeferEvent(QtMainloop& loop, pa_defer_event_cb_t callback, void* userdata) : EventKind(loop, callback, userdata)
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
        timer_.start();
    }

    void enable(bool on) noexcept
    {
        if (!on) timer_.stop();
        else if (!timer_.isActive()) timer_.start();
    }

    static pa_defer_event* create(pa_mainloop_api* api, pa_defer_event_cb_t callback, void* userdata) noexcept
    {
        return make(api, callback, userdata);
    }
    static void enableOf(pa_defer_event* event, int on) noexcept { of(event).enable(on != 0); }

private:
    void stop() noexcept override { timer_.stop(); }

    QTimer timer_;
};

// The Qt event loop belongs to the application: libpulse cannot end it.
void ignoreQuit(pa_mainloop_api*, int) noexcept {}

} // namespace

QtMainloop::QtMainloop() noexcept
{
    api_.userdata = this;
    api_.io_new = &IoEvent::create;
    api_.io_enable = &IoEvent::enableOf;
    api_.io_free = &IoEvent::freeOf;
    api_.io_set_destroy = &IoEvent::setDestroyOf;
    api_.time_new = &TimeEvent::create;
    api_.time_restart = &TimeEvent::restartOf;
    api_.time_free = &TimeEvent::freeOf;
    api_.time_set_destroy = &TimeEvent::setDestroyOf;
    api_.defer_new = &DeferEvent::create;
    api_.defer_enable = &DeferEvent::enableOf;
    api_.defer_free = &DeferEvent::freeOf;
    api_.defer_set_destroy = &DeferEvent::setDestroyOf;
    api_.quit = &ignoreQuit;
}

QtMainloop::~QtMainloop()
{
    // A destroy callback may free other events: take them one at a time.
    while (!events_.empty()) {
        const std::unique_ptr<Event> event = std::move(events_.back());
        events_.pop_back();
        event->free();
    }
}

void QtMainloop::release(Event& event) noexcept
{
    // libpulse drops the watch of its connection while a read waits to be handled and sets it
    // up again for the same descriptor right after, in the same callback, for every packet.
    // Kept watching until the callback ends, its notifiers are taken on again instead of
    // leaving the dispatcher and joining it anew, each of which costs GLib's loop a wake-up.
    if (depth_ > 0 && event.descriptor()) {
        try {
            retired_.push_back(&event);
            return;
        } catch (...) {
            // Out of memory: stopped at once, as any other event.
        }
    }
    event.stop();
    if (event.running()) return;
    std::erase_if(events_, [&event](const std::unique_ptr<Event>& held) { return held.get() == &event; });
}

QtMainloop::Event* QtMainloop::adopt(int fd) noexcept
{
    const auto found = std::find_if(retired_.begin(), retired_.end(),
                                    [fd](const Event* event) { return event->descriptor() == fd; });
    if (found == retired_.end()) return nullptr;
    Event* const event = *found;
    retired_.erase(found);
    return event;
}

void QtMainloop::leave() noexcept
{
    if (--depth_ > 0) return;
    for (Event* const event : retired_) event->stop();
    retired_.clear();
    std::erase_if(events_, [](const std::unique_ptr<Event>& event) { return event->dead() && !event->running(); });
}

QtMainloopHandle makeQtMainloop() noexcept
{
    try {
        return std::make_unique<QtMainloop>();
    } catch (...) {
        return {};
    }
}

} // namespace vantorelle::pulse
