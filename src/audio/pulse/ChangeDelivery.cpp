#include "audio/pulse/ChangeDelivery.h"

#include <algorithm>
#include <utility>

namespace vantorelle::pulse {

ChangeDelivery::ChangeDelivery(pa_mainloop_api* api, std::chrono::milliseconds window,
                               std::function<bool()> foldsDefaults, std::function<bool()> readingDefaults)
    : window_(window)
    , foldsDefaults_(std::move(foldsDefaults))
    , readingDefaults_(std::move(readingDefaults))
    , wake_(api, [this] { deliver(); })
    , windowTimer_(api, [this] {
        windowEnds_.reset();
        deliver();
    })
    , defaultTimer_(api, [this] { deliverDefaultChange(); })
{
}

void ChangeDelivery::deviceListChanged(bool news)
{
    pendingPass_ = std::max(pendingPass_, news ? Pass::news : Pass::quiet);
    // Within the window after a pass, what comes waits for its end.
    if (windowEnds_ && std::chrono::steady_clock::now() < *windowEnds_) {
        if (!windowTimer_.isActive()) windowTimer_.startAt(*windowEnds_);
        return;
    }
    windowEnds_.reset();
    wake_.enable(true);
}

void ChangeDelivery::defaultsChanged()
{
    // PipeWire's session manager moves the default off a device that went before its pulse
    // server tells that it went: a default change is held a moment, for the pass it may belong to.
    pendingDefaultChange_ = true;
    if (!defaultTimer_.isActive()) defaultTimer_.startAt(std::chrono::steady_clock::now() + defaultChangeHold);
}

void ChangeDelivery::defaultsRead()
{
    if (pendingPass_ != Pass::none && !windowEnds_) wake_.enable(true);
}

void ChangeDelivery::deliverDefaultChange()
{
    const bool due = std::exchange(pendingDefaultChange_, false) && pendingPass_ == Pass::none && !foldsDefaults_();
    if (due && handlers_.defaultChange) handlers_.defaultChange();
}

void ChangeDelivery::whenSettled(std::function<void()> then)
{
    waiters_.emplace_back(sent_, std::move(then));
    if (answered_ >= sent_) wake_.enable(true);
}

void ChangeDelivery::setAnswered()
{
    ++answered_;
    if (!waiters_.empty() && waiters_.front().first <= answered_) wake_.enable(true);
}

void ChangeDelivery::setsLost()
{
    answered_ = sent_;
    if (!waiters_.empty()) wake_.enable(true);
}

void ChangeDelivery::deliver()
{
    // A pass due now goes before the waiters of earlier ones: they would read the defaults as
    // this change left them and take its switch for theirs.
    const bool pass = pendingPass_ != Pass::none && !windowEnds_ && !readingDefaults_();
    if (pass) {
        const bool quiet = pendingPass_ == Pass::quiet;
        pendingPass_ = Pass::none;
        // The pass reads the defaults as they are now.
        pendingDefaultChange_ = false;
        defaultTimer_.stop();
        windowEnds_ = std::chrono::steady_clock::now() + window_;
        if (handlers_.deviceListChange) handlers_.deviceListChange(quiet);
    }
    while (!waiters_.empty() && waiters_.front().first <= answered_) {
        const std::function<void()> then = std::move(waiters_.front().second);
        waiters_.pop_front();
        then();
    }
}

} // namespace vantorelle::pulse
