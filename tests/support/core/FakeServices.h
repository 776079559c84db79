#pragma once

#include "engine/LidSource.h"
#include "engine/NoticeSink.h"
#include "engine/Scheduler.h"

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantorelle::test {

class FakeLid final : public LidSource {
public:
    explicit FakeLid(bool closed = false) : closed_(closed) {}

    bool isClosed() const override { return closed_; }
    void setOnChange(std::function<void(bool)> onChange) override { onChange_ = std::move(onChange); }
    void start() override { ++startCalls; }

    // Reports a state as the monitor does: repeats of the current state are filtered.
    void report(bool closed)
    {
        if (closed == closed_) return;
        closed_ = closed;
        if (onChange_) onChange_(closed);
    }

    // Delivers a state without filtering repeats, as a monitor with duplicate reports would.
    void deliver(bool closed)
    {
        closed_ = closed;
        if (onChange_) onChange_(closed);
    }

    // The callback as installed, so a test can keep a copy past the owner's lifetime.
    const std::function<void(bool)>& onChange() const { return onChange_; }

    int startCalls = 0;

private:
    bool closed_;
    std::function<void(bool)> onChange_;
};

struct Notice {
    std::string title;
    std::string body;
    bool sound = false;
    bool operator==(const Notice&) const = default;
};

class FakeNotifier final : public NoticeSink {
public:
    bool playSound() const { return playSound_; }
    void setPlaySound(bool playSound) override { playSound_ = playSound; }
    void askPermission() override { ++permissionRequests; }
    void post(const NoticeText& notice) override
    {
        notices.push_back(Notice{notice.title, notice.body(), playSound_});
    }

    std::vector<Notice> notices;
    int permissionRequests = 0;

private:
    bool playSound_ = false;
};

// Work asked for later runs when the test moves its clock past it, in the order it falls due.
class FakeScheduler final : public Scheduler {
public:
    // The clock shared with the test, which outlives this scheduler.
    struct Clock {
        std::chrono::milliseconds now{0};
        std::multimap<std::chrono::milliseconds, std::function<void()>> due;
        void advance(std::chrono::milliseconds by)
        {
            const auto until = now + by;
            while (!due.empty() && due.begin()->first <= until) {
                auto next = due.extract(due.begin());
                now = next.key();
                next.mapped()();
            }
            now = until;
        }
    };
    explicit FakeScheduler(Clock& clock) : clock_(clock) {}
    void after(std::chrono::milliseconds delay, std::function<void()> then) override
    {
        clock_.due.emplace(clock_.now + delay, std::move(then));
    }

private:
    Clock& clock_;
};

} // namespace vantorelle::test
