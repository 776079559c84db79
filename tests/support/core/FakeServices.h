#pragma once

#include "engine/LidSource.h"
#include "engine/NoticeSink.h"

#include <functional>
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

} // namespace vantorelle::test
