#include "audio/pulse/ChangeDelivery.h"

#include <algorithm>
#include <utility>

namespace vantorelle::pulse {

ChangeDelivery::ChangeDelivery(std::unique_ptr<EventLoop> loop, std::chrono::milliseconds window)
    : loop_(std::move(loop))
    , api_(loop_ ? loop_->api() : nullptr)
    , window_(window)
    , wake_(api_, [this] { deliver(); })
    , windowTimer_(api_, [this] {
        windowEnds_.reset();
        deliver();
    })
    , defaultTimer_(api_, [this] { deliverDefaultChange(); })
{
}

void ChangeDelivery::queuePass(bool news)
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

void ChangeDelivery::queueDefaultChange()
{
    // PipeWire's session manager moves the default off a device that went before its pulse
    // server tells that it went: a default change is held a moment, for the pass it may belong to.
    pendingDefaultChange_ = true;
    if (!defaultTimer_.isActive()) defaultTimer_.startAt(std::chrono::steady_clock::now() + defaultChangeHold);
}

void ChangeDelivery::streamListChanged() noexcept
{
    pendingStreams_ = true;
    wake_.enable(true);
}

void ChangeDelivery::defaultsRead()
{
    if (pendingPass_ != Pass::none && !windowEnds_) wake_.enable(true);
}

void ChangeDelivery::deliverDefaultChange()
{
    const bool due = std::exchange(pendingDefaultChange_, false) && pendingPass_ == Pass::none && !isHolding();
    if (!due || !listener_) return;
    const auto now = std::chrono::steady_clock::now();
    if (std::exchange(plugAnswerEnds_, std::nullopt) > now && switchesOnConnect()) {
        // The module's answer to the plug: the stack has its say once more, and no news.
        listener_->deviceListChanged(true);
        return;
    }
    listener_->defaultChanged();
}

void ChangeDelivery::whenSetsSettled(std::function<void()> then)
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
    const bool pass = pendingPass_ != Pass::none && !windowEnds_ && !isReadingDefaults();
    if (pass) {
        const bool quiet = pendingPass_ == Pass::quiet;
        pendingPass_ = Pass::none;
        // The pass reads the defaults as they are now.
        pendingDefaultChange_ = false;
        defaultTimer_.stop();
        windowEnds_ = std::chrono::steady_clock::now() + window_;
        plugAnswerEnds_.reset();
        if (!quiet) plugAnswerEnds_ = *windowEnds_ - window_ + plugAnswerWindow;
        // The pass looks at the streams as they are now too.
        pendingStreams_ = false;
        if (listener_) listener_->deviceListChanged(quiet);
    }
    if (std::exchange(pendingStreams_, false) && listener_) listener_->streamsChanged();
    while (!waiters_.empty() && waiters_.front().first <= answered_) {
        const std::function<void()> then = std::move(waiters_.front().second);
        waiters_.pop_front();
        then();
    }
    delivered();
}

} // namespace vantorelle::pulse
