#include "audio/pulse/ChangeDelivery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The delivery half alone, on a private loop, told of changes by hand; it records what its
// listener hears and when.
class Delivery final : public pulse::ChangeDelivery, private AudioSystem::Listener {
public:
    struct Heard {
        std::string what;
        std::chrono::milliseconds at;
    };

    Delivery(std::unique_ptr<pulse::BlockingLoop> loop, bool switchesOnConnect)
        : ChangeDelivery(std::move(loop), window), switchesOnConnect_(switchesOnConnect), start_(Clock::now())
    {
        listen(*this);
    }
    static constexpr std::chrono::milliseconds window{100};

    using ChangeDelivery::queueDefaultChange;
    using ChangeDelivery::queuePass;
    std::vector<Heard> heard;

    std::optional<std::vector<AudioDevice>> devices() const override { return std::vector<AudioDevice>{}; }
    std::optional<SystemDefaults> defaults() const override { return SystemDefaults{}; }
    bool setDefault(Direction, const std::string&) override { return false; }
    std::vector<AudioStream> streams() const override { return {}; }
    bool moveStream(Direction, std::uint32_t, const std::string&) override { return false; }

private:
    bool isHolding() const noexcept override { return false; }
    bool switchesOnConnect() const noexcept override { return switchesOnConnect_; }
    void deviceListChanged(bool quiet) override { note(quiet ? "quiet pass" : "pass"); }
    void defaultChanged() override { note("default"); }
    void streamsChanged() override {}
    void note(std::string what)
    {
        heard.push_back({std::move(what), std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_)});
    }

    bool switchesOnConnect_;
    Clock::time_point start_;
};

// The hold for a default change that may come with a plug, the window that coalesces passes, and
// the plug window in which a switch-on-connect module's default change answers the plug.
TEST(ChangeDeliveryTest, WindowsDecideWhatAChangeMeans)
{
    enum class Step { plug, quietLook, defaultChange };
    const struct {
        const char* name;
        bool switchesOnConnect;
        std::vector<std::pair<std::chrono::milliseconds, Step>> steps;
        // What is heard, and the earliest moment of each.
        std::vector<std::pair<std::string, std::chrono::milliseconds>> expected;
    } cases[] = {
        {"a default change alone waits out the hold", false, {{0ms, Step::defaultChange}}, {{"default", pulse::ChangeDelivery::defaultChangeHold}}},
        {"a plug within the hold takes the default change into its pass", false,
         {{0ms, Step::defaultChange}, {10ms, Step::plug}}, {{"pass", 10ms}}},
        {"a second plug within the window waits for its end", false,
         {{0ms, Step::plug}, {20ms, Step::plug}}, {{"pass", 0ms}, {"pass", Delivery::window}}},
        {"the module's default change after a plug is the plug's: a quiet pass", true,
         {{0ms, Step::plug}, {200ms, Step::defaultChange}}, {{"pass", 0ms}, {"quiet pass", 250ms}}},
        {"without such a module it is a default change", false,
         {{0ms, Step::plug}, {200ms, Step::defaultChange}}, {{"pass", 0ms}, {"default", 250ms}}},
        {"a quiet look opens no plug window", true,
         {{0ms, Step::quietLook}, {200ms, Step::defaultChange}}, {{"quiet pass", 0ms}, {"default", 250ms}}},
    };
    for (const auto& test : cases) {
        auto owned = std::make_unique<pulse::BlockingLoop>();
        pulse::BlockingLoop& loop = *owned;
        Delivery delivery(std::move(owned), test.switchesOnConnect);
        const auto begin = Clock::now();
        for (const auto& [at, step] : test.steps) {
            loop.runUntil([] { return false; }, begin + at);
            if (step == Step::defaultChange) delivery.queueDefaultChange();
            else delivery.queuePass(step == Step::plug);
        }
        loop.runUntil([] { return false; }, begin + test.steps.back().first + 300ms);

        ASSERT_EQ(delivery.heard.size(), test.expected.size()) << test.name;
        for (std::size_t i = 0; i < test.expected.size(); ++i) {
            EXPECT_EQ(delivery.heard[i].what, test.expected[i].first) << test.name;
            EXPECT_GE(delivery.heard[i].at, test.expected[i].second) << test.name;
        }
    }
}

} // namespace
} // namespace vantorelle::test
