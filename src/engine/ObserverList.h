#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vantorelle {

// A plain observer list. Subscribing returns a token that unsubscribes when it goes away;
// a token may outlive the list.
template <typename Event>
class ObserverList {
    struct Entry {
        std::uint64_t id;
        std::function<void(Event)> callback;
    };
    struct State {
        std::uint64_t nextId = 1;
        std::vector<Entry> entries;
    };

public:
    class Subscription {
    public:
        Subscription() = default;
        Subscription(std::weak_ptr<State> state, std::uint64_t id) : state_(std::move(state)), id_(id) {}
        Subscription(Subscription&& other) noexcept
            : state_(std::move(other.state_)), id_(std::exchange(other.id_, 0)) {}
        Subscription& operator=(Subscription&& other) noexcept
        {
            if (this != &other) {
                reset();
                state_ = std::move(other.state_);
                id_ = std::exchange(other.id_, 0);
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { reset(); }

        void reset()
        {
            if (const auto state = state_.lock()) {
                std::erase_if(state->entries, [this](const Entry& e) { return e.id == id_; });
            }
            state_.reset();
            id_ = 0;
        }

    private:
        std::weak_ptr<State> state_;
        std::uint64_t id_ = 0;
    };

    [[nodiscard]] Subscription subscribe(std::function<void(Event)> callback)
    {
        const std::uint64_t id = state_->nextId++;
        state_->entries.push_back(Entry{id, std::move(callback)});
        return Subscription(state_, id);
    }

    void notify(Event event) const
    {
        // A copy, so an observer may subscribe or unsubscribe while being told.
        const std::vector<Entry> entries = state_->entries;
        for (const Entry& entry : entries) entry.callback(event);
    }

private:
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace vantorelle
