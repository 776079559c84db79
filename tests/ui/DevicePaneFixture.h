#pragma once

#include "engine/SwitchEngine.h"
#include "store/PriorityStore.h"
#include "support/core/EngineFixture.h"
#include "support/platform/QtWait.h"
#include "ui/DeviceCard.h"
#include "ui/DeviceCardList.h"
#include "ui/DevicePaneView.h"

#include <QApplication>
#include <QFont>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantorelle::test {

// A device pane over an engine on the in-memory audio system. Tests describe the stacks and
// the connected devices, then build the pane.
class DevicePaneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // One font everywhere, so sizes and screenshots are the same on every machine.
        savedFont_ = QApplication::font();
        QFont font(QStringLiteral("Inter"));
        font.setStyleStrategy(QFont::PreferAntialias);
        QApplication::setFont(font);
    }
    static void TearDownTestSuite() { QApplication::setFont(savedFont_); }

    struct Device {
        AudioObjectID id;
        std::string uid;
        std::string name;
        bool isInput = true;
        bool isOutput = false;
        bool isBuiltIn = false;
        DeviceKind kind = DeviceKind::other;
    };

    void connect(const Device& device)
    {
        parts.audio.add(FakeAudioSystem::device(device.id, device.uid, device.name, device.isInput,
                                                device.isOutput, device.isBuiltIn, device.kind));
    }

    // Starts the engine with these stacks (rank 1 first); the rule runs when auto-switching is on.
    void startEngine(std::vector<SavedDevice> inputStack, std::vector<SavedDevice> outputStack = {},
                     bool autoSwitch = false)
    {
        StoredSettings settings;
        settings.inputPriority = std::move(inputStack);
        settings.outputPriority = std::move(outputStack);
        settings.autoSwitchInput = autoSwitch;
        settings.autoSwitchOutput = autoSwitch;
        PriorityStore(parts.folder.path()).save(settings);
        engine = parts.makeEngine();
        engine->start();
    }

    StoredSettings savedSettings() const { return PriorityStore(parts.folder.path()).load(); }

    std::unique_ptr<DevicePaneView> makePane(Direction direction, InputLevelMeter::Options meter = {},
                                             BluetoothConnector* bluetooth = nullptr)
    {
        auto pane = std::make_unique<DevicePaneView>(*engine, direction, std::move(meter), bluetooth);
        pane->resize(671, 560);
        return pane;
    }

    // Lets the pane hear of the engine's changes (they reach it through the event loop).
    static void settle() { QCoreApplication::processEvents(); QCoreApplication::processEvents(); }

    // A left click in the middle of the widget, as the mouse gives it.
    static void click(QWidget& widget)
    {
        const QPointF local = QRectF(widget.rect()).center();
        const QPointF global = widget.mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &release);
    }

    static std::vector<std::string> uidsOf(const std::vector<DeviceCard*>& cards)
    {
        std::vector<std::string> uids;
        for (const DeviceCard* card : cards) uids.push_back(card->state().row.uid);
        return uids;
    }
    static std::vector<std::string> uidsOf(const DevicePaneView& pane) { return uidsOf(pane.cards()); }
    static std::vector<std::string> uidsOf(const DeviceCardList& list) { return uidsOf(list.cards()); }
    static std::vector<std::string> uidsOf(const std::vector<SavedDevice>& stack)
    {
        std::vector<std::string> uids;
        for (const SavedDevice& entry : stack) uids.push_back(entry.uid);
        return uids;
    }

    FakeEngineParts parts;
    std::shared_ptr<SwitchEngine> engine;

private:
    static inline QFont savedFont_;
};

} // namespace vantorelle::test
