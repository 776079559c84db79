#include "audio/pulse/PulseQueryConnection.h"

#include <algorithm>
#include <climits>

namespace vantorelle::pulse {

namespace {

bool anyRunning(const std::vector<Operation>& operations) noexcept
{
    return std::any_of(operations.begin(), operations.end(),
                       [](const Operation& operation) { return operation.isRunning(); });
}

bool allValid(const std::vector<Operation>& operations) noexcept
{
    return std::all_of(operations.begin(), operations.end(),
                       [](const Operation& operation) { return operation.isValid(); });
}

} // namespace

PulseQueryConnection::PulseQueryConnection(std::optional<std::string> server,
                                           std::chrono::milliseconds quietAfterTimeout)
    : server_(std::move(server)), quietAfterTimeout_(quietAfterTimeout), loop_(pa_mainloop_new())
{
}

void PulseQueryConnection::timedOut() noexcept
{
    context_.reset();
    quietUntil_ = std::chrono::steady_clock::now() + quietAfterTimeout_;
}

PulseQueryConnection::~PulseQueryConnection() = default;

bool PulseQueryConnection::isGood() const noexcept
{
    return context_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_.get()));
}

void PulseQueryConnection::close() noexcept
{
    if (!keepOpen_) context_.reset();
}

bool PulseQueryConnection::exchange(Deadline deadline, const Issue& issue) noexcept
{
    if (quietUntil_ && std::chrono::steady_clock::now() < *quietUntil_) return false;
    quietUntil_.reset();
    const bool reused = context_ != nullptr;
    if (exchangeOnce(deadline, issue)) return true;
    // A connection kept open may have died with a server that restarted since: one more try on
    // a fresh one, unless the server was merely slow.
    return reused && !quietUntil_ && exchangeOnce(deadline, issue);
}

bool PulseQueryConnection::exchangeOnce(Deadline deadline, const Issue& issue) noexcept
{
    try {
        if (!makeReady(deadline)) return false;
        std::vector<Operation> operations = issue(context_.get());
        if (allValid(operations)) {
            const bool settled = iterateUntil(
                [this, &operations] { return !anyRunning(operations) || !isGood(); }, deadline);
            if (settled && isGood()) return true;
            operations.clear();
            if (!settled) {
                timedOut();
                return false;
            }
        }
        operations.clear();
        context_.reset();
    } catch (...) {
        context_.reset();
    }
    return false;
}

// The call's connection, made on its first exchange.
bool PulseQueryConnection::makeReady(Deadline deadline) noexcept
{
    if (!loop_) return false;
    if (context_ && pa_context_get_state(context_.get()) == PA_CONTEXT_READY) return true;
    context_.reset();
    if (std::chrono::steady_clock::now() >= deadline) return false;
    context_ = makeContext(pa_mainloop_get_api(loop_.get()));
    if (!context_) return false;
    const char* server = server_ ? server_->c_str() : nullptr;
    if (pa_context_connect(context_.get(), server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        context_.reset();
        return false;
    }
    const bool settled = iterateUntil(
        [this] { return pa_context_get_state(context_.get()) == PA_CONTEXT_READY || !isGood(); },
        deadline);
    if (settled && pa_context_get_state(context_.get()) == PA_CONTEXT_READY) return true;
    if (settled) context_.reset();
    else timedOut();
    return false;
}

void PulseQueryConnection::watchServerChanges() noexcept
{
    if (!isGood()) return;
    pa_context_set_subscribe_callback(
        context_.get(),
        [](pa_context*, pa_subscription_event_type_t, std::uint32_t, void* userdata) noexcept {
            ++static_cast<PulseQueryConnection*>(userdata)->serverChanges_;
        },
        this);
    // Not waited for: requests on one connection are handled in order, so the subscription is in
    // place before anything this connection asks next. Sending it again changes nothing.
    sendDetached(pa_context_subscribe(context_.get(), PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr));
}

bool PulseQueryConnection::waitForServerChange(unsigned seen, Deadline deadline) noexcept
{
    if (!isGood()) return false;
    return iterateUntil([this, seen] { return serverChanges_ != seen || !isGood(); }, deadline)
        && serverChanges_ != seen;
}

bool PulseQueryConnection::iterateUntil(const std::function<bool()>& done, Deadline deadline) noexcept
{
    using namespace std::chrono;
    while (!done()) {
        const auto left = duration_cast<microseconds>(deadline - steady_clock::now());
        if (left.count() <= 0) return false;
        const int timeout = static_cast<int>(std::min<microseconds::rep>(left.count(), INT_MAX));
        if (pa_mainloop_prepare(loop_.get(), timeout) < 0) return false;
        if (pa_mainloop_poll(loop_.get()) < 0) return false;
        if (pa_mainloop_dispatch(loop_.get()) < 0) return false;
    }
    return true;
}

} // namespace vantorelle::pulse
