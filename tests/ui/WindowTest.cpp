// The window: its fixed geometry, the sidebar and the choice of pane.
#include "UiTestSupport.h"

#include "support/platform/QtWait.h"
#include "ui/ArrowButton.h"
#include "ui/DeviceCard.h"
#include "ui/DevicePaneView.h"
#include "ui/MainWindow.h"
#include "ui/MeterBar.h"
#include "ui/SettingRow.h"
#include "ui/SwitchToggle.h"
#include "ui/Palette.h"
#include "ui/SettingsPaneView.h"
#include "ui/SidebarEntry.h"
#include "ui/SidebarView.h"
#include "ui/Symbols.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QLabel>
#include <QPointer>
#include <QStyle>

#include <gtest/gtest.h>

#include <memory>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = parts.makeEngine();
        window = std::make_unique<MainWindow>(*engine, installation.loginItems());
        window->show();
        ASSERT_TRUE(waitUntil([&] { return window->paneView()->width() > 0; }));
    }

    QWidget* rule() const { return window->findChild<QWidget*>(QStringLiteral("sidebarRule")); }

    FakeEngineParts parts;
    FakeInstallation installation;
    std::shared_ptr<SwitchEngine> engine;
    std::unique_ptr<MainWindow> window;
};

TEST_F(WindowTest, IsAFixed880By560WindowSplitIntoSidebarRuleAndPane)
{
    EXPECT_EQ(window->size(), QSize(880, 560));
    EXPECT_EQ(window->minimumSize(), QSize(880, 560));
    EXPECT_EQ(window->maximumSize(), QSize(880, 560)) << "not resizable";
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vantorelle"));

    EXPECT_EQ(window->sidebar().geometry(), QRect(0, 0, 208, 560));
    ASSERT_NE(rule(), nullptr);
    EXPECT_EQ(rule()->geometry(), QRect(208, 0, 1, 560));
    EXPECT_EQ(window->paneView()->geometry(), QRect(209, 0, 671, 560));

    // Every pane gets the same room, and the sidebar keeps its width.
    for (const Pane pane : {Pane::settings, Pane::output}) {
        window->setPane(pane);
        ASSERT_TRUE(waitUntil([&] { return window->paneView()->geometry() == QRect(209, 0, 671, 560); }));
        EXPECT_EQ(window->sidebar().width(), 208);
    }
}

TEST_F(WindowTest, StartsOnTheInputPaneWithItsEntrySelected)
{
    EXPECT_EQ(window->pane(), Pane::input);
    EXPECT_TRUE(window->sidebar().entry(Pane::input).isSelected());
    EXPECT_FALSE(window->sidebar().entry(Pane::output).isSelected());
    EXPECT_FALSE(window->sidebar().entry(Pane::settings).isSelected());
    EXPECT_NE(findLabel(*window->paneView(), QStringLiteral("Input Devices")), nullptr);
}

TEST_F(WindowTest, PixelsShowTheSidebarTheSelectedEntryTheRuleAndDarkText)
{
    const QImage image = snapshot(*window);
    EXPECT_TRUE(sameColour(image.pixelColor(100, 500), Palette::sidebar));
    EXPECT_TRUE(sameColour(image.pixelColor(208, 300), Palette::hairline));
    EXPECT_TRUE(sameColour(image.pixelColor(600, 500), Qt::white));

    // The Input entry: blue, also in the empty part right of its label.
    SidebarEntry& input = window->sidebar().entry(Pane::input);
    const QRect bar(input.mapTo(window.get(), QPoint(0, 0)), input.size());
    EXPECT_TRUE(sameColour(image.pixelColor(bar.right() - 12, bar.center().y()), Palette::blue));
    EXPECT_GT(countPixels(image, bar, Qt::white, 30), 10) << "white symbol and label";

    // The unselected entries and the name are written in the palette's text colour.
    SidebarEntry& output = window->sidebar().entry(Pane::output);
    const QRect outputBar(output.mapTo(window.get(), QPoint(0, 0)), output.size());
    EXPECT_EQ(countPixels(image, outputBar, Palette::blue), 0);
    EXPECT_GT(countPixels(image, outputBar, Palette::text), 5);
    QLabel* name = findLabel(window->sidebar(), QStringLiteral("Vantorelle"));
    ASSERT_NE(name, nullptr);
    EXPECT_GT(countPixels(image, QRect(name->mapTo(window.get(), QPoint(0, 0)), name->size()), Palette::text), 5);

    // The mark in the header: lighter at its top than at its bottom.
    QLabel* tagline = findLabel(window->sidebar(), QStringLiteral("Auto device switching"));
    ASSERT_NE(tagline, nullptr);
    EXPECT_EQ(tagline->palette().color(QPalette::WindowText), Palette::greyLight);
    const QPoint markTopLeft(16, 38 + 6);
    EXPECT_GT(lightness(image.pixelColor(markTopLeft + QPoint(4, 1))), lightness(image.pixelColor(markTopLeft + QPoint(4, 32))));
}

TEST_F(WindowTest, EachEntrySelectsItsPaneAlsoWhenClickedRightOfItsLabel)
{
    SidebarView& sidebar = window->sidebar();
    click(sidebar.entry(Pane::settings));
    EXPECT_EQ(window->pane(), Pane::settings);
    EXPECT_NE(qobject_cast<SettingsPaneView*>(window->paneView()), nullptr);

    SidebarEntry& output = sidebar.entry(Pane::output);
    const int rightOfLabel = output.label().geometry().right() + 20;
    ASSERT_LT(rightOfLabel, output.width() - 4);
    click(output, QPoint(rightOfLabel, output.height() / 2));
    EXPECT_EQ(window->pane(), Pane::output);
    EXPECT_NE(findLabel(*window->paneView(), QStringLiteral("Output Devices")), nullptr);

    // On the symbol too.
    click(sidebar.entry(Pane::input), sidebar.entry(Pane::input).symbol().geometry().center());
    EXPECT_EQ(window->pane(), Pane::input);
}

TEST_F(WindowTest, TheSelectedEntryIsBlueWithWhiteSymbolAndMediumLabel)
{
    click(window->sidebar().entry(Pane::settings));
    for (const Pane pane : allPanes) {
        SidebarEntry& entry = window->sidebar().entry(pane);
        const bool selected = pane == Pane::settings;
        EXPECT_EQ(entry.isSelected(), selected);
        EXPECT_EQ(entry.symbol().color(), selected ? QColor(Qt::white) : Palette::text);
        EXPECT_EQ(entry.label().palette().color(QPalette::WindowText), selected ? QColor(Qt::white) : Palette::text);
        EXPECT_EQ(entry.label().font().weight(), selected ? QFont::Medium : QFont::Normal);
    }
    EXPECT_EQ(window->sidebar().entry(Pane::settings).symbol().symbol(), QStringLiteral("gearshape"));
}

TEST_F(WindowTest, ClickingTheSelectedEntryChangesNothing)
{
    QPointer<QWidget> before = window->paneView();
    int replaced = 0;
    QObject::connect(window.get(), &MainWindow::paneViewReplaced, [&] { ++replaced; });
    click(window->sidebar().entry(Pane::input));
    pumpEvents(20ms);
    EXPECT_EQ(window->pane(), Pane::input);
    EXPECT_EQ(window->paneView(), before.data());
    EXPECT_EQ(replaced, 0);
    EXPECT_TRUE(window->sidebar().entry(Pane::input).isSelected());
}

TEST_F(WindowTest, EverySwitchBuildsTheNewPaneAfreshAndDropsTheOldOne)
{
    QPointer<QWidget> firstInput = window->paneView();
    window->setPane(Pane::output);
    QPointer<QWidget> output = window->paneView();
    EXPECT_TRUE(firstInput.isNull()) << "the old pane is gone at once";
    window->setPane(Pane::input);
    EXPECT_TRUE(output.isNull());
    EXPECT_NE(window->paneView(), nullptr);
    EXPECT_EQ(window->paneView()->parentWidget(), window.get());
    EXPECT_TRUE(window->sidebar().entry(Pane::input).isSelected()) << "the sidebar follows whoever changes the pane";
}

TEST_F(WindowTest, TheEmptyDevicePanesCarryTheirTitles)
{
    EXPECT_NE(findLabel(*window->paneView(), QStringLiteral("Input Devices")), nullptr);
    window->setPane(Pane::output);
    EXPECT_NE(findLabel(*window->paneView(), QStringLiteral("Output Devices")), nullptr);
}

// A key as the window system delivers it, to whoever has the focus.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &up);
}

TEST_F(WindowTest, EveryControlIsReachedAndWorkedFromTheKeyboard)
{
    parts.audio.add(FakeAudioSystem::device(1, "usb", "USB Microphone", true, false));
    parts.audio.add(FakeAudioSystem::device(2, "cam", "USB Camera", true, false));
    parts.audio.add(FakeAudioSystem::device(3, "old", "Old Headset", true, false));
    parts.audio.defaultInput = 1;
    engine->start();
    parts.audio.removeUID("old");
    parts.audio.fireDeviceListChange();
    ASSERT_TRUE(waitUntil([&] {
        auto* pane = qobject_cast<DevicePaneView*>(window->paneView());
        return pane != nullptr && pane->cards().size() == 3;
    }));
    QApplication::setActiveWindow(window.get());

    // The sidebar is one stop; Up and Down move the selection, and the pane with it.
    SidebarView& sidebar = window->sidebar();
    sidebar.entry(Pane::input).setFocus(Qt::TabFocusReason);
    EXPECT_EQ(sidebar.entry(Pane::output).focusPolicy() & Qt::TabFocus, 0);
    press(Qt::Key_Down);
    EXPECT_EQ(window->pane(), Pane::output);
    EXPECT_TRUE(sidebar.entry(Pane::output).hasFocus());
    press(Qt::Key_Up);
    EXPECT_EQ(window->pane(), Pane::input);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(window->pane(), Pane::settings);
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    ASSERT_EQ(window->pane(), Pane::input);
    QCoreApplication::processEvents(); // the new pane is shown from the event loop

    // Tab runs through the cards by rank (each card, then its usable arrows), then the switch.
    auto* pane = qobject_cast<DevicePaneView*>(window->paneView());
    ASSERT_NE(pane, nullptr);
    const std::vector<DeviceCard*> cards = pane->cards();
    const std::vector<QWidget*> expected{cards[0], &cards[0]->downArrow(), cards[1], &cards[1]->upArrow(),
                                         &cards[1]->downArrow(), cards[2], &cards[2]->upArrow(),
                                         &pane->autoSwitchRow().toggle()};
    // The stops Tab visits: the focus chain's enabled, visible widgets that take Tab.
    std::vector<QWidget*> stops;
    for (QWidget* w = sidebar.entry(Pane::input).nextInFocusChain(); w != &sidebar.entry(Pane::input);
         w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window.get()) && w->isEnabled()) stops.push_back(w);
    }
    EXPECT_EQ(stops, expected) << "no invisible stop on the way round";

    // Space presses a focused arrow; the focus ring is drawn.
    cards[0]->downArrow().setFocus(Qt::TabFocusReason);
    press(Qt::Key_Space);
    EXPECT_EQ(engine->settings().inputPriority.front().uid, "cam");

    // Shift+F10 opens a disconnected card's menu, with "Remove from list".
    DeviceCard* gone = pane->card("old");
    ASSERT_NE(gone, nullptr);
    gone->setFocus(Qt::TabFocusReason);
    press(Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        menu = gone->findChild<QMenu*>();
        return menu != nullptr && menu->isVisible();
    }));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Remove from list"));
    menu->actions().front()->trigger();
    menu->close();
    EXPECT_TRUE(waitUntil([&] { return pane->card("old") == nullptr; }));
}

TEST_F(WindowTest, ScreenReadersGetRolesNamesStatesAndActionsInReadingOrder)
{
    parts.audio.add(FakeAudioSystem::device(1, "usb", "USB Microphone", true, false));
    parts.audio.defaultInput = 1;
    engine->start();
    ASSERT_TRUE(waitUntil([&] {
        auto* pane = qobject_cast<DevicePaneView*>(window->paneView());
        return pane != nullptr && pane->cards().size() == 1;
    }));

    QAccessibleInterface* settings = QAccessible::queryAccessibleInterface(&window->sidebar().entry(Pane::settings));
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->role(), QAccessible::PageTab);
    EXPECT_EQ(settings->text(QAccessible::Name), QStringLiteral("Settings"));
    EXPECT_TRUE(settings->state().selectable);
    EXPECT_FALSE(settings->state().selected);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&window->sidebar().entry(Pane::input))->state().selected);
    ASSERT_NE(settings->actionInterface(), nullptr);
    settings->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window->pane(), Pane::settings);
    window->setPane(Pane::input);
    QCoreApplication::processEvents();

    auto* pane = qobject_cast<DevicePaneView*>(window->paneView());
    ASSERT_NE(pane, nullptr);
    DeviceCard& card = *pane->cards().front();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&card.upArrow())->role(), QAccessible::Button);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&card.upArrow())->text(QAccessible::Name), QStringLiteral("Move up"));
    QAccessibleInterface* toggle = QAccessible::queryAccessibleInterface(&pane->autoSwitchRow().toggle());
    EXPECT_EQ(toggle->role(), QAccessible::CheckBox);
    EXPECT_EQ(toggle->text(QAccessible::Name), QStringLiteral("Auto-switch input"));
    EXPECT_TRUE(toggle->state().checked);

    // The level bar is a level indicator with the level as its value.
    ASSERT_NE(card.meterBar(), nullptr);
    card.meterBar()->follow(true, 0.4);
    QAccessibleInterface* meter = QAccessible::queryAccessibleInterface(card.meterBar());
    EXPECT_EQ(meter->role(), QAccessible::ProgressBar);
    EXPECT_EQ(meter->text(QAccessible::Name), QStringLiteral("Input level"));
    ASSERT_NE(meter->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(meter->valueInterface()->currentValue().toDouble(), 0.4);
    EXPECT_DOUBLE_EQ(meter->valueInterface()->maximumValue().toDouble(), 1.0);

    // Reading order: the title and explanation come before the cards.
    QLabel* title = findLabel(*pane, QStringLiteral("Input Devices"));
    ASSERT_NE(title, nullptr);
    QAccessibleInterface* content = QAccessible::queryAccessibleInterface(title)->parent();
    ASSERT_NE(content, nullptr);
    int titleAt = -1;
    int cardsAt = -1;
    for (int i = 0; i < content->childCount(); ++i) {
        QObject* object = content->child(i)->object();
        if (object == title) titleAt = i;
        if (object == card.parentWidget()) cardsAt = i;
    }
    EXPECT_GE(titleAt, 0);
    EXPECT_LT(titleAt, cardsAt);
}

TEST_F(WindowTest, TheFocusRingStandsOutFromWhatIsBehindIt)
{
    SidebarEntry& output = window->sidebar().entry(Pane::output);
    const QImage plain = snapshot(output);
    QApplication::setActiveWindow(window.get());
    output.setFocus(Qt::TabFocusReason);
    window->setAttribute(Qt::WA_KeyboardFocusChange); // as a Tab key press leaves it
    const QImage ringed = snapshot(output);
    // Dark ring pixels on the light sidebar: far more contrast than 3:1.
    EXPECT_GT(countPixels(ringed, QRect(0, 0, output.width(), 2), Palette::text, 40), output.width() / 2);
    EXPECT_EQ(countPixels(plain, QRect(0, 0, output.width(), 2), Palette::text, 40), 0);
}

TEST(PaneValues, RawValuesRoundTripAndUnknownOnesGiveNoPane)
{
    ASSERT_EQ(allPanes.size(), 3U);
    EXPECT_EQ(allPanes[0], Pane::input);
    EXPECT_EQ(allPanes[1], Pane::output);
    EXPECT_EQ(allPanes[2], Pane::settings);
    for (const Pane pane : allPanes) EXPECT_EQ(paneFromRawValue(rawValue(pane)), pane);
    EXPECT_EQ(rawValue(Pane::output), "output");
    EXPECT_EQ(paneFromRawValue("Settings"), std::nullopt);
    EXPECT_EQ(paneFromRawValue(""), std::nullopt);
    EXPECT_EQ(paneLabel(Pane::input), QStringLiteral("Input Devices"));
    EXPECT_EQ(paneSymbol(Pane::output), QStringLiteral("speaker.wave.2"));
}

TEST(LightAppearance, TheApplicationIsLightWhateverTheDesktopSays)
{
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(palette.color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(palette.color(QPalette::WindowText), Palette::text);
    EXPECT_EQ(palette.color(QPalette::Base), QColor(Qt::white));
}

} // namespace
} // namespace vantorelle::test
