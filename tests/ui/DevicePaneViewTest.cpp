#include "DevicePaneFixture.h"
#include "UiTestSupport.h"

#include "ui/ActivePill.h"
#include "ui/ArrowButton.h"
#include "ui/Drawing.h"
#include "ui/ElidedLabel.h"
#include "ui/InlineNameEdit.h"
#include "ui/MeterBar.h"
#include "ui/Palette.h"
#include "ui/SettingRow.h"
#include "ui/SwitchToggle.h"
#include "ui/Symbols.h"

#include <QAccessible>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

namespace vantorelle::test {
namespace {

class DevicePaneViewTest : public DevicePaneTest {};

QColor labelColor(const QLabel& label)
{
    return label.palette().color(QPalette::WindowText);
}

TEST_F(DevicePaneViewTest, AnEmptyListShowsTheEmptyStateAndTheRest)
{
    startEngine({}, {});
    const auto pane = makePane(Direction::output);
    pane->show();
    EXPECT_TRUE(pane->cards().empty());
    EXPECT_TRUE(pane->emptyLabel().isVisible());
    EXPECT_EQ(pane->emptyLabel().text(), "No output devices yet.");
    EXPECT_GE(pane->emptyLabel().height(), 120);
    EXPECT_TRUE(pane->autoSwitchRow().isVisible());
    EXPECT_EQ(pane->autoSwitchRow().titleLabel().text(), "Auto-switch output");
    const QList<QLabel*> labels = pane->findChildren<QLabel*>();
    const bool hasFooter = std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
        return label->isVisible() && label->text() == DevicePaneView::footer(Direction::output);
    });
    EXPECT_TRUE(hasFooter);
}

TEST_F(DevicePaneViewTest, CardsCarryRankStateAndNextInLine)
{
    connect({1, "usb", "Blue Yeti"});
    connect({3, "cam", "USB HD Camera", true, false, false, DeviceKind::camera});
    parts.audio.defaultInput = "usb";
    startEngine({{"usb", "Blue Yeti"}, {"gone", "Old Headset"}, {"cam", "USB HD Camera"}});
    const auto pane = makePane(Direction::input);
    pane->show();

    ASSERT_EQ(uidsOf(*pane), (std::vector<std::string>{"usb", "gone", "cam"}));
    const std::vector<DeviceCard*> cards = pane->cards();
    EXPECT_EQ(cards[0]->look(), DeviceCard::Look::active);
    EXPECT_TRUE(cards[0]->pill().isVisible());
    EXPECT_FALSE(cards[0]->statusLabel().isVisible());
    EXPECT_FALSE(cards[0]->captionLabel().isVisible()) << "the active card never shows a caption";
    EXPECT_EQ(cards[0]->rankLabel().text(), "01");
    EXPECT_EQ(cards[0]->nameLabel().color(), QColor(Qt::white));
    EXPECT_EQ(cards[0]->drawnOpacity(), 1.0);
    EXPECT_TRUE(cards[0]->shadow().has_value());

    EXPECT_EQ(cards[1]->look(), DeviceCard::Look::standby);
    EXPECT_EQ(cards[1]->statusLabel().text(), "Not connected");
    EXPECT_EQ(cards[1]->captionLabel().text(), "Keeps its seat for when it returns");
    EXPECT_EQ(cards[1]->drawnOpacity(), 0.55);
    EXPECT_EQ(labelColor(cards[1]->statusLabel()), Palette::grey);
    EXPECT_EQ(cards[1]->icon().symbol(), "mic") << "the server says nothing of a device that is gone";
    EXPECT_FALSE(cards[1]->shadow().has_value());

    EXPECT_EQ(cards[2]->look(), DeviceCard::Look::nextInLine);
    EXPECT_EQ(cards[2]->statusLabel().text(), "Next in line");
    EXPECT_EQ(labelColor(cards[2]->statusLabel()), Palette::activeGradient.second);
    EXPECT_EQ(cards[2]->captionLabel().text(), "Takes over if the active device disconnects");
    EXPECT_EQ(labelColor(cards[2]->rankLabel()), Palette::rankWhiteCard);
    EXPECT_EQ(cards[2]->icon().symbol(), "video");

    EXPECT_FALSE(cards[0]->upArrow().isEnabled());
    EXPECT_EQ(cards[0]->upArrow().drawnOpacity(), 0.4);
    EXPECT_TRUE(cards[0]->downArrow().isEnabled());
    EXPECT_TRUE(cards[0]->upArrow().onActiveCard());
    EXPECT_FALSE(cards[2]->downArrow().isEnabled());
    EXPECT_FALSE(cards[2]->upArrow().onActiveCard());
}

TEST_F(DevicePaneViewTest, LidBlockedBuiltInMicrophone)
{
    connect({1, "builtin", "Built-in Microphone", true, false, true});
    parts.audio.defaultInput = "builtin";
    parts.lid.report(true);
    startEngine({{"builtin", "Built-in Microphone"}});
    auto pane = makePane(Direction::input);
    pane->show();

    // Still the default, as nothing else is usable: active look, dimmed.
    DeviceCard* card = pane->card("builtin");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->look(), DeviceCard::Look::active);
    EXPECT_TRUE(card->pill().isVisible());
    EXPECT_EQ(card->drawnOpacity(), 0.55);
    ASSERT_EQ(card->menuItems().size(), 2u) << "no move and no removal";
    EXPECT_EQ(card->menuItems()[0].text, QStringLiteral("Rename\u2026"));

    EXPECT_EQ(card->accessibleDescription(), "Rank 1 of 1, active, lid closed");

    // Once another microphone is the default, the built-in one is lid-blocked and standing by.
    connect({2, "usb", "Blue Yeti"});
    parts.audio.defaultInput = "usb";
    parts.audio.fireDeviceListChange();
    settle();
    card = pane->card("builtin");
    EXPECT_EQ(card->look(), DeviceCard::Look::standby);
    EXPECT_EQ(card->statusLabel().text(), "Unavailable — lid closed");
    EXPECT_EQ(card->captionLabel().text(), "Sits out when the lid is closed");
    EXPECT_EQ(card->drawnOpacity(), 0.55);
    EXPECT_EQ(card->accessibleDescription(), "Rank 1 of 2, unavailable — lid closed");
    ASSERT_EQ(card->menuItems().size(), 3u);
    EXPECT_EQ(card->menuItems()[0].text, QStringLiteral("Move down")) << "the only move";
    EXPECT_FALSE(pane->card("usb")->isDimmed());
}

TEST_F(DevicePaneViewTest, ArrowsReorderAndTheRuleFollowsAtOnce)
{
    connect({1, "a", "Mic A"});
    connect({2, "b", "Mic B"});
    parts.audio.defaultInput = "a";
    startEngine({{"a", "Mic A"}, {"b", "Mic B"}, {"gone", "Mic C"}}, {}, true);
    const auto pane = makePane(Direction::input);
    pane->show();
    DeviceCard* const cardA = pane->card("a");

    click(cardA->downArrow());
    EXPECT_EQ(engine->defaultInputUID(), "b") << "auto-switching moves the default with the order";
    settle();
    EXPECT_EQ(uidsOf(*pane), (std::vector<std::string>{"b", "a", "gone"}));
    EXPECT_EQ(pane->card("a"), cardA) << "a card keeps its widget when it moves";
    EXPECT_EQ(cardA->rankLabel().text(), "02");
    EXPECT_EQ(cardA->statusLabel().text(), "Next in line");
    EXPECT_EQ(savedSettings().inputPriority.front().uid, "b");

    // The arrows at the ends do nothing.
    const StoredSettings before = savedSettings();
    click(pane->card("b")->upArrow());
    click(pane->card("gone")->downArrow());
    settle();
    EXPECT_EQ(uidsOf(*pane), (std::vector<std::string>{"b", "a", "gone"}));
    EXPECT_EQ(savedSettings(), before);

    click(pane->card("gone")->upArrow());
    settle();
    EXPECT_EQ(uidsOf(*pane), (std::vector<std::string>{"b", "gone", "a"}));
}

TEST_F(DevicePaneViewTest, TheMenuOffersTheMovesThatApplyAndRemovesOnlyADisconnectedEntry)
{
    connect({1, "a", "Mic A"});
    parts.audio.defaultInput = "a";
    startEngine({{"a", "Mic A"}, {"gone", "Old Mic"}});
    const auto pane = makePane(Direction::input);
    pane->show();

    const auto texts = [](const std::vector<MenuItem>& items) {
        std::vector<QString> result;
        for (const MenuItem& item : items) result.push_back(item.text + (item.destructive ? "!" : ""));
        return result;
    };
    EXPECT_EQ(texts(pane->card("a")->menuItems()),
              (std::vector<QString>{"Move down", "Rename\u2026", "Never switch to this device"}));
    const std::vector<MenuItem> items = pane->card("gone")->menuItems();
    ASSERT_EQ(texts(items), (std::vector<QString>{"Move up", "Rename\u2026", "Never switch to this device",
                                                  "Remove from list!"}));
    items[0].action();
    settle();
    EXPECT_EQ(uidsOf(*pane), (std::vector<std::string>{"gone", "a"}));
    pane->card("gone")->menuItems().back().action();
    settle();
    EXPECT_EQ(uidsOf(*pane), std::vector<std::string>{"a"});
    EXPECT_EQ(savedSettings().inputPriority, (std::vector<SavedDevice>{{"a", "Mic A"}}));
    EXPECT_FALSE(pane->card("a")->downArrow().isEnabled()) << "the remaining card is now also last";
}

TEST_F(DevicePaneViewTest, ACardNeverChosenAutomaticallyIsDimmedAndTheMenuLetsItBack)
{
    connect({1, "a", "Mic A"});
    connect({2, "b", "Mic B"});
    connect({3, "c", "Mic C"});
    parts.audio.defaultInput = "a";
    startEngine({{"a", "Mic A"}, {"b", "Mic B", "", false}, {"c", "Mic C"}}, {}, true);
    const auto pane = makePane(Direction::input);
    pane->show();
    DeviceCard& never = *pane->card("b");
    EXPECT_TRUE(never.isDimmed());
    EXPECT_EQ(never.captionLabel().text(), "Never chosen automatically");
    EXPECT_TRUE(never.captionLabel().isVisible());
    EXPECT_TRUE(pane->card("c")->state().isNextInLine) << "the one the rule would take next";

    const std::vector<MenuItem> items = never.menuItems();
    const auto allow = std::ranges::find(items, QStringLiteral("Allow switching to this device"), &MenuItem::text);
    ASSERT_NE(allow, items.end());
    allow->action();
    settle();
    EXPECT_FALSE(never.isDimmed());
    EXPECT_TRUE(never.state().isNextInLine);
    EXPECT_TRUE(savedSettings().inputPriority[1].automatic);
}

TEST_F(DevicePaneViewTest, RenamingInPlaceKeepsOnEnterDropsOnEscapeAndAnEmptyNameGivesTheOwnBack)
{
    connect({1, "a", "Family 17h HD Audio Controller Analog Stereo"});
    parts.audio.defaultInput = "a";
    startEngine({{"a", "Family 17h HD Audio Controller Analog Stereo"}});
    const auto pane = makePane(Direction::input);
    pane->show();
    ASSERT_TRUE(activate(*pane));
    DeviceCard& card = *pane->card("a");
    const auto type = [&card](const QString& text, Qt::Key end) {
        card.startRename();
        InlineNameEdit* edit = card.nameEdit();
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->isVisible());
        EXPECT_FALSE(card.nameLabel().isVisible());
        edit->setText(text);
        QKeyEvent press(QEvent::KeyPress, end, Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
        settle();
        EXPECT_EQ(card.nameEdit(), nullptr);
        EXPECT_TRUE(card.nameLabel().isVisible());
    };

    type(QStringLiteral("Desk headphones"), Qt::Key_Return);
    EXPECT_EQ(card.nameLabel().text(), "Desk headphones");
    EXPECT_EQ(card.accessibleName(), "Desk headphones");
    EXPECT_EQ(card.accessibleDescription(), "Family 17h HD Audio Controller Analog Stereo, Rank 1 of 1, active");
    EXPECT_EQ(savedSettings().inputPriority[0].alias, "Desk headphones");
    EXPECT_EQ(card.icon().symbol(), "mic") << "the icon follows the device, not the user's name for it";

    type(QStringLiteral("Something else"), Qt::Key_Escape);
    EXPECT_EQ(card.nameLabel().text(), "Desk headphones");

    type(QStringLiteral("  "), Qt::Key_Enter);
    EXPECT_EQ(card.nameLabel().text(), "Family 17h HD Audio Controller Analog Stereo");
    EXPECT_EQ(savedSettings().inputPriority[0].alias, "");
}

TEST_F(DevicePaneViewTest, ARememberedBluetoothDeviceIsConnectedFromItsCard)
{
    const std::string uid = "bluez:aa:bb:cc:dd:ee:01:input";
    const QString address = QStringLiteral("aa:bb:cc:dd:ee:01");
    const auto connectInMenu = [](const DeviceCard& card) -> std::optional<MenuItem> {
        for (const MenuItem& item : card.menuItems()) {
            if (item.text == "Connect") return item;
        }
        return std::nullopt;
    };
    connect({1, "a", "Mic A"});
    startEngine({{"a", "Mic A"}, {uid, "Travel Headset"}, {"gone", "Old Mic"}});
    FakeBluetooth bluetooth;
    const auto pane = makePane(Direction::input, {}, &bluetooth);
    pane->show();
    DeviceCard& card = *pane->card(uid);
    EXPECT_FALSE(connectInMenu(card)) << "BlueZ does not know it";

    bluetooth.known.insert(address.toUpper());
    emit bluetooth.changed();
    EXPECT_TRUE(connectInMenu(card));
    EXPECT_FALSE(connectInMenu(*pane->card("gone"))) << "not Bluetooth";
    QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(&card)->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains("Connect"));

    actions->doAction("Connect");
    EXPECT_EQ(bluetooth.asked, std::vector<QString>{address});
    EXPECT_EQ(card.statusLabel().text(), QStringLiteral("Connecting…"));
    EXPECT_FALSE(connectInMenu(card)) << "no second ask while one runs";

    bluetooth.answer(address, QStringLiteral("Could not connect: the headset is off or out of range"));
    EXPECT_EQ(card.statusLabel().text(), QStringLiteral("Not connected"));
    EXPECT_EQ(card.captionLabel().text(), QStringLiteral("Could not connect: the headset is off or out of range"));
    EXPECT_TRUE(card.captionLabel().isVisible());

    // Connected: the card waits for the device to arrive as any plug does.
    connectInMenu(card)->action();
    bluetooth.answer(address);
    EXPECT_EQ(card.statusLabel().text(), QStringLiteral("Connecting…"));
    EXPECT_EQ(card.captionLabel().text(), QStringLiteral("Keeps its seat for when it returns"));
    connect({2, uid, "Travel Headset"});
    parts.audio.fireDeviceListChange();
    settle();
    EXPECT_EQ(card.statusLabel().text(), QStringLiteral("Available"));
    EXPECT_FALSE(connectInMenu(card));
}

TEST_F(DevicePaneViewTest, AutoSwitchRowChangesItsOwnDirectionOnly)
{
    connect({1, "a", "Mic A"});
    connect({2, "b", "Mic B"});
    connect({3, "spk", "Speakers", false, true});
    parts.audio.defaultInput = "b";
    parts.audio.defaultOutput = "spk";
    startEngine({{"a", "Mic A"}, {"b", "Mic B"}}, {{"spk", "Speakers"}}, false);
    const auto pane = makePane(Direction::input);
    pane->show();
    EXPECT_FALSE(pane->autoSwitchRow().toggle().isChecked());

    click(pane->autoSwitchRow().toggle());
    EXPECT_TRUE(engine->autoSwitch(Direction::input));
    EXPECT_FALSE(engine->autoSwitch(Direction::output));
    EXPECT_EQ(engine->defaultInputUID(), "a") << "turning it on applies the rule";
    EXPECT_TRUE(savedSettings().autoSwitchInput);
    EXPECT_FALSE(savedSettings().autoSwitchOutput);
    settle();
    EXPECT_TRUE(pane->autoSwitchRow().toggle().isChecked());
    EXPECT_EQ(pane->card("a")->look(), DeviceCard::Look::active);
}

TEST_F(DevicePaneViewTest, TheCallsSwitchShowsAStackOfTheirOwnWhoseCardsEditThatStackAlone)
{
    connect({1, "spk", "Speakers", false, true, true});
    connect({2, "headset", "Headset", true, true, false, DeviceKind::headphones});
    parts.audio.defaultOutput = "spk";
    startEngine({}, {{"spk", "Speakers"}, {"headset", "Headset"}, {"gone", "Old Speaker"}}, true);
    const auto pane = makePane(Direction::output);
    pane->show();
    SettingRow& calls = pane->callsRow();
    EXPECT_EQ(calls.titleLabel().text(), "Use a different device for calls");
    EXPECT_FALSE(calls.toggle().isChecked());
    EXPECT_FALSE(pane->callsList().isVisible());
    EXPECT_FALSE(pane->callsEmptyLabel().isVisible());

    click(calls.toggle());
    EXPECT_TRUE(savedSettings().routeCallsOutput);
    EXPECT_FALSE(savedSettings().routeCallsInput);
    settle();
    EXPECT_TRUE(calls.toggle().isChecked());
    DeviceCardList& list = pane->callsList();
    EXPECT_TRUE(list.isVisible());
    ASSERT_EQ(uidsOf(list), (std::vector<std::string>{"spk", "headset", "gone"})) << "filled from the main stack";

    // The headset first for calls: the calls stack moves, the main one and the default stay.
    click(list.card("headset")->upArrow());
    settle();
    EXPECT_EQ(uidsOf(list), (std::vector<std::string>{"headset", "spk", "gone"}));
    EXPECT_EQ(uidsOf(*pane), (std::vector<std::string>{"spk", "headset", "gone"}));
    EXPECT_EQ(uidsOf(savedSettings().callsOutputPriority), uidsOf(list));
    EXPECT_EQ(uidsOf(savedSettings().outputPriority), uidsOf(*pane));
    EXPECT_EQ(engine->defaultOutputUID(), "spk");
    // Active among the calls cards is where calls go.
    EXPECT_EQ(list.card("headset")->look(), DeviceCard::Look::active);
    EXPECT_EQ(list.card("spk")->statusLabel().text(), "Next in line");
    EXPECT_EQ(pane->card("spk")->look(), DeviceCard::Look::active);

    // The menu's edits reach the calls stack only.
    for (const auto& [uid, text] : {std::pair{"headset", "Never switch to this device"}, {"gone", "Remove from list"}}) {
        const std::vector<MenuItem> items = list.card(uid)->menuItems();
        const auto found = std::ranges::find(items, QString::fromLatin1(text), &MenuItem::text);
        ASSERT_NE(found, items.end()) << text;
        found->action();
    }
    settle();
    EXPECT_EQ(uidsOf(list), (std::vector<std::string>{"headset", "spk"}));
    EXPECT_FALSE(savedSettings().callsOutputPriority[0].automatic);
    EXPECT_EQ(list.card("spk")->look(), DeviceCard::Look::active) << "calls go to the next usable one";
    EXPECT_EQ(uidsOf(savedSettings().outputPriority), (std::vector<std::string>{"spk", "headset", "gone"}));
    EXPECT_TRUE(savedSettings().outputPriority[1].automatic);

    // Off: the calls cards go out of sight; the calls stack is kept for the next time.
    click(calls.toggle());
    settle();
    EXPECT_FALSE(savedSettings().routeCallsOutput);
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(uidsOf(savedSettings().callsOutputPriority), (std::vector<std::string>{"headset", "spk"}));
}

TEST_F(DevicePaneViewTest, TheOutputPaneNeverShowsALevelBar)
{
    connect({1, "spk", "Speakers", false, true});
    parts.audio.defaultOutput = "spk";
    startEngine({}, {{"spk", "Speakers"}});
    const auto pane = makePane(Direction::output);
    pane->show();
    DeviceCard* card = pane->card("spk");
    EXPECT_EQ(card->meterBar(), nullptr);
    EXPECT_FALSE(card->captionLabel().isVisible()) << "nothing under the active output's name";
    EXPECT_EQ(card->icon().symbol(), "speaker.wave.2");
}

TEST_F(DevicePaneViewTest, LongNamesAreCutShortAndArrowsStayInside)
{
    const std::string longName(300, 'W');
    connect({1, "long", longName});
    parts.audio.defaultInput = "long";
    startEngine({{"long", longName}, {"x", "Other"}});
    const auto pane = makePane(Direction::input);
    pane->show();
    QCoreApplication::processEvents();

    DeviceCard* const card = pane->card("long");
    EXPECT_TRUE(card->nameLabel().shownText().endsWith(QStringLiteral("…")));
    const QRect arrow(card->downArrow().mapTo(card, QPoint(0, 0)), card->downArrow().size());
    EXPECT_TRUE(card->rect().contains(arrow)) << "arrows are never pushed out of the card";
    EXPECT_LE(card->width(), pane->scrollArea().viewport()->width());
    // Spacing 12, the spacer's 8, spacing 12: the name gives way down to that.
    EXPECT_EQ(card->pill().geometry().left() - card->nameLabel().geometry().right() - 1, 32);
    EXPECT_EQ(card->nameLabel().toolTip(), QString::fromStdString(longName)) << "the cut-off name in full";
    EXPECT_TRUE(pane->card("x")->nameLabel().toolTip().isEmpty());

    // With the level bar showing, the name still takes the whole column; the bar keeps 150 x 4.
    ASSERT_NE(card->meterBar(), nullptr);
    card->meterBar()->follow(true, 0.5);
    QCoreApplication::processEvents();
    EXPECT_EQ(card->pill().geometry().left() - card->nameLabel().geometry().right() - 1, 32);
    EXPECT_GT(card->nameLabel().width(), 2 * MeterBar::trackWidth);
    EXPECT_EQ(card->meterBar()->size(), QSize(MeterBar::trackWidth, MeterBar::trackHeight));
}

TEST_F(DevicePaneViewTest, AHundredEntriesScroll)
{
    std::vector<SavedDevice> stack;
    for (int i = 0; i < 100; ++i) stack.push_back({"uid" + std::to_string(i), "Device " + std::to_string(i)});
    startEngine(stack);
    const auto pane = makePane(Direction::input);
    pane->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(pane->cards().size(), 100u);
    EXPECT_EQ(pane->cards()[99]->rankLabel().text(), "100");
    QScrollBar* bar = pane->scrollArea().verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_TRUE(bar->isVisible());
    bar->setValue(bar->maximum());
    EXPECT_EQ(bar->value(), bar->maximum());

    // A thumb that stands out from its groove: the pane's grey on white.
    const QImage drawn = snapshot(*pane);
    const QRect barArea(bar->mapTo(pane.get(), QPoint(0, 0)), bar->size());
    EXPECT_GT(countPixels(drawn, barArea, Palette::greyLight, 8), 50);
    EXPECT_GT(countPixels(drawn, barArea, Qt::white, 8), 50) << "a groove as white as the pane";

    // The cards keep the 26-point margins they have without a scrollbar: it takes its room
    // from the right margin, so nothing moves sideways when it appears.
    const DeviceCard* first = pane->cards().front();
    const QRect placed(first->mapTo(pane.get(), QPoint(0, 0)), first->size());
    EXPECT_EQ(placed.left(), 26);
    EXPECT_EQ(pane->width() - 1 - placed.right(), 26);
}

} // namespace
} // namespace vantorelle::test

namespace vantorelle::test {
namespace {

TEST(MeterBar, FollowsTheMeterWithAFloorOfFourPoints)
{
    EXPECT_EQ(MeterBar::barWidthFor(0.0), 4.0);
    EXPECT_EQ(MeterBar::barWidthFor(0.01), 4.0);
    EXPECT_EQ(MeterBar::barWidthFor(0.5), 75.0);
    EXPECT_EQ(MeterBar::barWidthFor(1.0), 150.0);

    InputLevelMeter meter(InputLevelMeter::Options{});
    QWidget holder;
    MeterBar bar(meter, &holder);
    holder.show();
    EXPECT_FALSE(bar.isVisible()) << "nothing while the meter is not running";

    bar.follow(true, 0.0);
    EXPECT_TRUE(bar.isVisible());
    EXPECT_EQ(bar.barWidth(), 4.0);
    bar.follow(true, 1.0);
    EXPECT_EQ(bar.targetBarWidth(), 150.0);
    EXPECT_LT(bar.barWidth(), 150.0) << "the bar moves, it does not jump";
    EXPECT_TRUE(waitUntil([&] { return bar.barWidth() == 150.0; }, std::chrono::seconds(2)));
    bar.follow(false, 0.0);
    EXPECT_FALSE(bar.isVisible());

    // Stopping the meter publishes running false: the bar goes.
    bar.follow(true, 0.3);
    meter.stop();
    EXPECT_FALSE(bar.isVisible());
}

// A frame is put together from images rendered once; at every width it must be the shape
// itself, its rounded end included, over what lies behind.
TEST(MeterBar, DrawsEveryWidthAsTheShapeItself)
{
    InputLevelMeter meter(InputLevelMeter::Options{});
    QWidget holder;
    MeterBar bar(meter, &holder);
    bar.setBackdrop([&bar](QPainter& painter) { painter.fillRect(bar.rect(), Palette::blue); });
    holder.show();
    for (const double level : {0.0, 0.031, 0.5, 0.777, 1.0}) {
        bar.follow(false, 0.0);
        bar.follow(true, level); // appearing: at its width at once
        const QImage drawn = snapshot(bar);
        const double ratio = drawn.devicePixelRatio();
        QImage expected(drawn.size(), QImage::Format_ARGB32_Premultiplied);
        expected.setDevicePixelRatio(ratio);
        expected.fill(Palette::blue);
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(QRectF(0, 0, 150, 4), 2), QColor(255, 255, 255, 71));
        const double width = qRound(MeterBar::barWidthFor(level) * ratio) / ratio;
        painter.fillPath(continuousRoundedRect(QRectF(0, 0, width, 4), 2), Palette::barGreen);
        painter.end();
        const QImage reference = expected.convertToFormat(QImage::Format_ARGB32);
        int differing = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                if (!sameColour(drawn.pixelColor(x, y), reference.pixelColor(x, y), 2)) ++differing;
            }
        }
        EXPECT_EQ(differing, 0) << "level " << level << " at pixel ratio " << ratio;
    }
}

} // namespace
} // namespace vantorelle::test
