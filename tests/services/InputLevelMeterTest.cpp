#include "services/InputLevelMeter.h"
#include "support/platform/PulseTestSupport.h"
#include "support/platform/QtWait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <unistd.h>
#include <memory>
#include <vector>

namespace vantorelle::test {
namespace {

using namespace std::chrono_literals;

// The private daemon's sine source plays a tone of amplitude 1/2: RMS 0.5/sqrt(2), -9.03 dBFS.
const double sineLevel = (20.0 * std::log10(0.5 / std::sqrt(2.0)) + 50.0) / 50.0;

class InputLevelMeterTest : public PulseDaemonSuite {
protected:
    static InputLevelMeter::Options options(bool hasIdentity = true)
    {
        InputLevelMeter::Options options;
        options.hasIdentity = hasIdentity;
        options.server = daemon().server().toStdString();
        return options;
    }

    void addDefaultSine(const QString& name)
    {
        ASSERT_TRUE(daemon().addSineSource(name));
        ASSERT_TRUE(daemon().setDefaultSource(name));
    }

    static int countLines(const QStringList& arguments)
    {
        const std::optional<QString> out = daemon().pactl(arguments);
        return out ? static_cast<int>(out->split(u'\n', Qt::SkipEmptyParts).size()) : -1;
    }
    static int recordStreams() { return countLines({"list", "short", "source-outputs"}); }
    static int clients() { return countLines({"list", "short", "clients"}); }

    // Every value the meter publishes, in order.
    struct Published {
        std::vector<bool> running;
        std::vector<double> levels;
    };
    static std::unique_ptr<Published> record(InputLevelMeter& meter)
    {
        auto published = std::make_unique<Published>();
        QObject::connect(&meter, &InputLevelMeter::runningChanged, &meter,
                         [p = published.get()](bool running) { p->running.push_back(running); });
        QObject::connect(&meter, &InputLevelMeter::levelChanged, &meter,
                         [p = published.get()](double level) { p->levels.push_back(level); });
        return published;
    }
};

TEST_F(InputLevelMeterTest, MeasuresTheDefaultSourceSteadily)
{
    addDefaultSine("tone");
    InputLevelMeter meter(options());
    const auto published = record(meter);
    meter.start();
    ASSERT_TRUE(waitUntil([&] { return meter.running(); }));
    ASSERT_TRUE(waitUntil([&] { return published->levels.size() >= 30; }));

    // A steady tone gives a steady level once the first buffers are in.
    const std::vector<double> tail(published->levels.end() - 10, published->levels.end());
    for (const double level : tail) EXPECT_NEAR(level, sineLevel, 0.01);
    std::printf("[ level ] sine source measured %.4f, expected %.4f\n", meter.level(), sineLevel);
    meter.stop();
}

TEST_F(InputLevelMeterTest, StartingTwiceRecordsOnce)
{
    addDefaultSine("tone");
    InputLevelMeter meter(options());
    meter.start();
    meter.start();
    ASSERT_TRUE(waitUntil([&] { return meter.running(); }));
    meter.start();
    pumpEvents(100ms);
    EXPECT_EQ(recordStreams(), 1);
    meter.stop();
    EXPECT_TRUE(waitUntil([] { return recordStreams() == 0; }));
}

TEST_F(InputLevelMeterTest, StopResetsAndLateLevelsStayUnseen)
{
    addDefaultSine("tone");
    InputLevelMeter meter(options());
    meter.start();
    ASSERT_TRUE(waitUntil([&] { return meter.running() && meter.level() > 0.5; }));

    const auto published = record(meter);
    meter.stop();
    EXPECT_FALSE(meter.running());
    EXPECT_EQ(meter.level(), 0.0);
    EXPECT_EQ(published->running, std::vector<bool>{false});
    EXPECT_EQ(published->levels, std::vector<double>{0.0});
    // Buffers already on their way are dropped, not shown after the reset.
    pumpEvents(200ms);
    EXPECT_EQ(meter.level(), 0.0);
    EXPECT_EQ(published->levels.size(), 1u);
    EXPECT_TRUE(waitUntil([] { return recordStreams() == 0; }));

    // And it can run again.
    meter.start();
    EXPECT_TRUE(waitUntil([&] { return meter.running() && meter.level() > 0.5; }));
    meter.stop();
}

TEST_F(InputLevelMeterTest, StoppingANeverStartedMeterOnlyPublishesTheReset)
{
    const int clientsBefore = clients();
    InputLevelMeter meter(options());
    const auto published = record(meter);
    meter.stop();
    EXPECT_EQ(published->running, std::vector<bool>{false});
    EXPECT_EQ(published->levels, std::vector<double>{0.0});
    pumpEvents(100ms);
    EXPECT_EQ(clients(), clientsBefore);
}

TEST_F(InputLevelMeterTest, WaitsWhileTheSourceIsGoneAndComesBack)
{
    const std::optional<std::uint32_t> first = daemon().addSineSource("first");
    ASSERT_TRUE(first);
    ASSERT_TRUE(daemon().setDefaultSource("first"));
    InputLevelMeter meter(options());
    const auto published = record(meter);
    meter.start();
    ASSERT_TRUE(waitUntil([&] { return meter.running(); }));

    // With no source left the stream is killed: off, and waiting rather than retrying.
    ASSERT_TRUE(daemon().unload(*first));
    ASSERT_TRUE(waitUntil([&] { return !meter.running(); }));
    EXPECT_EQ(meter.level(), 0.0);
    pumpEvents(700ms);
    EXPECT_FALSE(meter.running());
    EXPECT_EQ(recordStreams(), 0);

    // A new source is a configuration change: the meter runs again on it.
    addDefaultSine("second");
    ASSERT_TRUE(waitUntil([&] { return meter.running() && meter.level() > 0.5; }));
    EXPECT_EQ(recordStreams(), 1);
    meter.stop();
}

TEST_F(InputLevelMeterTest, FollowsANewDefaultSource)
{
    addDefaultSine("first");
    ASSERT_TRUE(daemon().addSineSource("second", 1000));
    InputLevelMeter meter(options());
    meter.start();
    ASSERT_TRUE(waitUntil([&] { return meter.running(); }));

    const auto streamSource = [] {
        const std::optional<QString> out = daemon().pactl({"list", "short", "source-outputs"});
        const QStringList fields = out ? out->split(u'\t') : QStringList();
        return fields.size() > 1 ? fields[1] : QString();
    };
    const auto sourceIndex = [](const QString& name) {
        const std::optional<QString> out = daemon().pactl({"list", "short", "sources"});
        for (const QString& line : out ? out->split(u'\n') : QStringList()) {
            const QStringList fields = line.split(u'\t');
            if (fields.size() > 1 && fields[1] == name) return fields[0];
        }
        return QString();
    };
    ASSERT_TRUE(waitUntil([&] { return streamSource() == sourceIndex("first"); }));
    ASSERT_TRUE(daemon().setDefaultSource("second"));
    EXPECT_TRUE(waitUntil([&] { return streamSource() == sourceIndex("second"); }));
    EXPECT_TRUE(waitUntil([&] { return meter.running(); }));
    meter.stop();
}

TEST_F(InputLevelMeterTest, ALevelFallsWhenTheNewDefaultSendsNothing)
{
    addDefaultSine("tone");
    // A pipe source that nobody writes to: plugged in, but no data reaches its record stream.
    ASSERT_TRUE(daemon().addSource("quiet"));
    InputLevelMeter meter(options());
    meter.start();
    ASSERT_TRUE(waitUntil([&] { return meter.running() && meter.level() > 0.5; }));

    ASSERT_TRUE(daemon().setDefaultSource("quiet"));
    // As for silence: down by 0.05 a buffer, to 0 well within a second.
    EXPECT_TRUE(waitUntil([&] { return meter.level() == 0.0; }, 2s));
    EXPECT_TRUE(meter.running()) << "the stream itself is fine";
    meter.stop();
}

TEST_F(InputLevelMeterTest, AStereoSourceIsMeasuredOnItsFirstChannel)
{
    // Interleaved frames: channel 0 a square wave of RMS 0.1 (-20 dBFS, level 0.6), channel 1
    // at full scale, which would read 1 if it were measured.
    const QString fifo = daemon().folder() + QStringLiteral("/stereo.fifo");
    ASSERT_TRUE(daemon().loadModule("module-pipe-source", {"source_name=stereo", "file=" + fifo, "format=float32le",
                                                           "rate=48000", "channels=2"}));
    ASSERT_TRUE(daemon().setDefaultSource("stereo"));
    const int writer = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    std::vector<float> frames(2 * 4096);
    for (std::size_t i = 0; i < frames.size(); i += 2) {
        frames[i] = (i / 2) % 2 == 0 ? 0.1f : -0.1f;
        frames[i + 1] = 1.0f;
    }
    const auto feed = [&] {
        // Whatever the pipe takes now; the source reads it as it comes.
        [[maybe_unused]] const ssize_t n = ::write(writer, frames.data(), frames.size() * sizeof(float));
    };

    InputLevelMeter meter(options());
    const auto published = record(meter);
    meter.start();
    EXPECT_TRUE(waitUntil([&] {
        feed();
        return meter.running() && published->levels.size() >= 20;
    }));
    ::close(writer);
    EXPECT_NEAR(meter.level(), 0.6, 0.01);
    meter.stop();
}

TEST_F(InputLevelMeterTest, APendingRestartDoesNotFireAfterStop)
{
    const std::optional<std::uint32_t> only = daemon().addSineSource("only");
    ASSERT_TRUE(only);
    ASSERT_TRUE(daemon().setDefaultSource("only"));
    InputLevelMeter meter(options());
    meter.start();
    ASSERT_TRUE(waitUntil([&] { return meter.running(); }));

    // The stream is killed with its source: off at once, a restart due 0.3 s later.
    ASSERT_TRUE(daemon().unload(*only));
    ASSERT_TRUE(waitUntil([&] { return !meter.running(); }));
    meter.stop();
    // Had the restart survived the stop, it would find this source and record from it.
    addDefaultSine("later");
    pumpEvents(std::chrono::milliseconds(InputLevelMeter::restartDelayMs * 2));
    EXPECT_FALSE(meter.running());
    EXPECT_EQ(meter.level(), 0.0);
    EXPECT_EQ(recordStreams(), 0);
}

TEST_F(InputLevelMeterTest, WithoutAnApplicationIdentityNothingHappens)
{
    addDefaultSine("tone");
    const int clientsBefore = clients();
    InputLevelMeter meter(options(false));
    const auto published = record(meter);
    meter.start();
    pumpEvents(500ms);
    EXPECT_FALSE(meter.running());
    EXPECT_TRUE(published->running.empty());
    EXPECT_TRUE(published->levels.empty());
    EXPECT_EQ(clients(), clientsBefore);
    EXPECT_EQ(recordStreams(), 0);
}

TEST_F(InputLevelMeterTest, DestroyedWhileRunningLeavesNothingBehind)
{
    addDefaultSine("tone");
    {
        InputLevelMeter meter(options());
        meter.start();
        ASSERT_TRUE(waitUntil([&] { return meter.running(); }));
    }
    pumpEvents(100ms);
    EXPECT_TRUE(waitUntil([] { return recordStreams() == 0; }));
}

} // namespace
} // namespace vantorelle::test
