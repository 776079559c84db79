#include "audio/pulse/QtMainloop.h"

#include "support/platform/QtWait.h"

#include <pulse/timeval.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;
using pulse::QtMainloop;

// What the callbacks of one event saw; `freeAt` makes the event free itself on that call.
struct Probe {
    int fired = 0;
    int destroyed = 0;
    int freeAt = 0;
    int rearmUntil = 0;
};

timeval after(std::chrono::milliseconds delay)
{
    timeval when{};
    pa_gettimeofday(&when);
    return *pa_timeval_add(&when, static_cast<pa_usec_t>(delay.count()) * PA_USEC_PER_MSEC);
}

void onTime(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* userdata)
{
    auto& probe = *static_cast<Probe*>(userdata);
    ++probe.fired;
    if (probe.fired == probe.freeAt) return api->time_free(event);
    if (probe.fired < probe.rearmUntil) {
        const timeval next = after(1ms);
        api->time_restart(event, &next);
    }
}

void onTimeDestroyed(pa_mainloop_api*, pa_time_event*, void* userdata) { ++static_cast<Probe*>(userdata)->destroyed; }
void onDeferDestroyed(pa_mainloop_api*, pa_defer_event*, void* userdata) { ++static_cast<Probe*>(userdata)->destroyed; }
void onIoDestroyed(pa_mainloop_api*, pa_io_event*, void* userdata) { ++static_cast<Probe*>(userdata)->destroyed; }

pa_time_event* timeEvent(QtMainloop& loop, Probe& probe, std::chrono::milliseconds delay)
{
    pa_mainloop_api* api = loop.api();
    const timeval when = after(delay);
    pa_time_event* event = api->time_new(api, &when, &onTime, &probe);
    api->time_set_destroy(event, &onTimeDestroyed);
    return event;
}

TEST(QtMainloopTest, TimeEventsFireOnceUnlessReArmedAndNotWhenDisarmed)
{
    QtMainloop loop;
    pa_mainloop_api* api = loop.api();
    Probe once, rearmed, disarmed, sentinel;
    rearmed.rearmUntil = 3;
    timeEvent(loop, once, 1ms);
    timeEvent(loop, rearmed, 1ms);
    api->time_restart(timeEvent(loop, disarmed, 1ms), nullptr);
    timeEvent(loop, sentinel, 60ms);

    ASSERT_TRUE(waitUntil([&] { return sentinel.fired == 1; }));
    EXPECT_EQ(once.fired, 1);
    EXPECT_EQ(rearmed.fired, 3);
    EXPECT_EQ(disarmed.fired, 0);
}

TEST(QtMainloopTest, EventsFreedInsideTheirOwnCallbackStopAndAreDestroyedOnce)
{
    Probe timer, defer, io;
    timer.freeAt = 1;
    {
        QtMainloop loop;
        pa_mainloop_api* api = loop.api();
        timeEvent(loop, timer, 1ms);

        pa_defer_event* deferred = api->defer_new(
            api, [](pa_mainloop_api* a, pa_defer_event* e, void* p) {
                if (++static_cast<Probe*>(p)->fired == 2) a->defer_free(e);
            },
            &defer);
        api->defer_set_destroy(deferred, &onDeferDestroyed);

        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        ASSERT_EQ(write(pipeEnds[1], "x", 1), 1);
        pa_io_event* reader = api->io_new(
            api, pipeEnds[0], PA_IO_EVENT_INPUT,
            [](pa_mainloop_api* a, pa_io_event* e, int, pa_io_event_flags_t flags, void* p) {
                ++static_cast<Probe*>(p)->fired;
                if (flags & PA_IO_EVENT_INPUT) a->io_free(e); // the byte stays unread: no second call
            },
            &io);
        api->io_set_destroy(reader, &onIoDestroyed);

        ASSERT_TRUE(waitUntil([&] { return timer.destroyed && defer.destroyed && io.destroyed; }));
        pumpEvents(30ms);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
    }
    EXPECT_EQ(timer.fired, 1);
    EXPECT_EQ(defer.fired, 2);
    EXPECT_EQ(io.fired, 1);
    EXPECT_EQ(timer.destroyed + defer.destroyed + io.destroyed, 3) << "the loop's end destroys none twice";
}

// As libpulse does for every packet: inside its callback an input event is freed and a new
// one made for the same descriptor. The new owner gets the calls from then on, the old one
// none, and each is destroyed once.
TEST(QtMainloopTest, AnInputEventRemadeInsideItsCallbackGoesOnForItsNewOwner)
{
    struct Watch {
        Probe first, second;
        int fd = -1;
    } watch;
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    watch.fd = pipeEnds[0];
    {
        QtMainloop loop;
        pa_mainloop_api* api = loop.api();
        pa_io_event* first = api->io_new(
            api, watch.fd, PA_IO_EVENT_INPUT,
            [](pa_mainloop_api* a, pa_io_event* e, int fd, pa_io_event_flags_t, void* p) {
                auto& w = *static_cast<Watch*>(p);
                ++w.first.fired;
                char byte = 0;
                EXPECT_EQ(read(fd, &byte, 1), 1);
                a->io_free(e);
                pa_io_event* second = a->io_new(
                    a, fd, PA_IO_EVENT_INPUT,
                    [](pa_mainloop_api*, pa_io_event*, int f, pa_io_event_flags_t, void* q) {
                        char b = 0;
                        if (read(f, &b, 1) == 1) ++static_cast<Probe*>(q)->fired;
                    },
                    &w.second);
                a->io_set_destroy(second, &onIoDestroyed);
            },
            &watch);
        api->io_set_destroy(first, [](pa_mainloop_api*, pa_io_event*, void* p) {
            ++static_cast<Watch*>(p)->first.destroyed;
        });

        ASSERT_EQ(write(pipeEnds[1], "x", 1), 1);
        ASSERT_TRUE(waitUntil([&] { return watch.first.fired == 1; }));
        ASSERT_EQ(write(pipeEnds[1], "yz", 2), 2);
        EXPECT_TRUE(waitUntil([&] { return watch.second.fired == 2; }));
    }
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    EXPECT_EQ(watch.first.fired, 1);
    EXPECT_EQ(watch.first.destroyed, 1);
    EXPECT_EQ(watch.second.fired, 2);
    EXPECT_EQ(watch.second.destroyed, 1) << "by the loop's end";
}

TEST(QtMainloopTest, TheLoopsEndDestroysTheEventsStillAlive)
{
    Probe pending, idle;
    {
        QtMainloop loop;
        pa_mainloop_api* api = loop.api();
        timeEvent(loop, pending, 1h);
        pa_defer_event* deferred = api->defer_new(api, [](pa_mainloop_api*, pa_defer_event*, void*) {}, &idle);
        api->defer_enable(deferred, 0);
        api->defer_set_destroy(deferred, &onDeferDestroyed);
    }
    EXPECT_EQ(pending.destroyed, 1);
    EXPECT_EQ(idle.destroyed, 1);
    EXPECT_EQ(pending.fired + idle.fired, 0);
}

} // namespace
} // namespace vantorelle::test
