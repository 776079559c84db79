#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vantorelle {

// A plain observer list. Subscribing returns a token that unsubscribes when it goes away;
// a token may outlive the list. An observer may subscribe or unsubscribe anyone (itself
// included) while being told: one removed during a round is not called after its removal,
// and one added during a round is first told of the next event.
template <typename Event>
class ObserverList {
    struct Entry {
        std::uint64_t id;
        // Shared so that a round can hold the one it runs while the vector grows or compacts.
        std::shared_ptr<const std::function<void(Event)>> callback;
    };
    struct State {
        std::uint64_t nextId = 1;
        std::vector<Entry> entries;
        // Rounds in progress (notify may nest); while any runs, removal only clears the id and
        // the entries are compacted when the outermost round ends.
        int rounds = 0;
        bool hasGaps = false;
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
                const auto entry = std::ranges::find(state->entries, id_, &Entry::id);
                if (entry != state->entries.end()) {
                    if (state->rounds > 0) {
                        entry->id = 0;
                        state->hasGaps = true;
                    } else {
                        state->entries.erase(entry);
                    }
                }
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
        state_->entries.push_back(
            Entry{id, std::make_shared<const std::function<void(Event)>>(std::move(callback))});
        return Subscription(state_, id);
    }

    void notify(Event event) const
    {
        // Held by the round, so a list destroyed by one of its own observers stays valid here.
        const std::shared_ptr<State> state = state_;
        const Round round(*state);
        // Entries added during the round sit past this end, and a removal leaves a gap rather
        // than shifting the others, so the indices stay valid while observers come and go.
        const std::size_t end = state->entries.size();
        for (std::size_t i = 0; i < end; ++i) {
            if (state->entries[i].id == 0) continue;
            const auto callback = state->entries[i].callback;
            (*callback)(event);
        }
    }

private:
    class Round {
    public:
        explicit Round(State& state) noexcept : state_(state) { ++state_.rounds; }
        ~Round()
        {
            if (--state_.rounds > 0 || !state_.hasGaps) return;
            std::erase_if(state_.entries, [](const Entry& e) { return e.id == 0; });
            state_.hasGaps = false;
        }
        Round(const Round&) = delete;
        Round& operator=(const Round&) = delete;

    private:
        State& state_;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace vantorelle
