// The window: its fixed geometry, the sidebar and the choice of pane.
#include "UiTestSupport.h"

#include "support/platform/QtWait.h"
#include "store/PriorityStore.h"
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
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMetaEnum>
#include <QMenu>
#include <QLabel>
#include <QPointer>
#include <QStyle>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

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
    parts.audio.defaultInput = "usb";
    engine->start();
    parts.audio.removeUID("old");
    parts.audio.fireDeviceListChange();
    ASSERT_TRUE(waitUntil([&] {
        auto* pane = qobject_cast<DevicePaneView*>(window->paneView());
        return pane != nullptr && pane->cards().size() == 3;
    }));
    ASSERT_TRUE(activate(*window));

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

    // Tab runs through the cards by rank (each card, then its usable arrows), then the switches.
    auto* pane = qobject_cast<DevicePaneView*>(window->paneView());
    ASSERT_NE(pane, nullptr);
    const std::vector<DeviceCard*> cards = pane->cards();
    const std::vector<QWidget*> expected{cards[0], &cards[0]->downArrow(), cards[1], &cards[1]->upArrow(),
                                         &cards[1]->downArrow(), cards[2], &cards[2]->upArrow(),
                                         &pane->autoSwitchRow().toggle(), &pane->callsRow().toggle()};
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

    // The menu key (the platform hands it to the focused widget as a menu event) opens a
    // connected card's menu with its moves.
    DeviceCard& middle = *pane->cards()[1];
    middle.setFocus(Qt::TabFocusReason);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1), middle.mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&middle, &menuKey);
    QMenu* moves = middle.findChild<QMenu*>();
    ASSERT_TRUE(moves != nullptr && moves->isVisible());
    EXPECT_EQ(moves->actions().size(), 4) << "Move up, Move down, Rename, Never switch";
    moves->close();

    // Shift+F10 opens a disconnected card's menu, which also offers "Remove from list".
    DeviceCard* gone = pane->card("old");
    ASSERT_NE(gone, nullptr);
    gone->setFocus(Qt::TabFocusReason);
    press(Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        menu = gone->findChild<QMenu*>();
        return menu != nullptr && menu->isVisible();
    }));
    ASSERT_EQ(menu->actions().size(), 4);
    EXPECT_EQ(menu->actions().back()->text(), QStringLiteral("Remove from list"));
    menu->actions().back()->trigger();
    menu->close();
    EXPECT_TRUE(waitUntil([&] { return pane->card("old") == nullptr; }));
}

// One line per node a screen reader finds: role, name, description, the states that matter and
// the actions, in reading order.
std::string readTree(QAccessibleInterface* node)
{
    if (node == nullptr) return {};
    std::string line = QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role());
    line += " '" + node->text(QAccessible::Name).toStdString() + "'";
    if (const QString description = node->text(QAccessible::Description); !description.isEmpty()) {
        line += " (" + description.toStdString() + ")";
    }
    const QAccessible::State state = node->state();
    for (const auto& [on, word] : {std::pair{bool(state.selected), " selected"}, {bool(state.focusable), " focusable"},
                                   {bool(state.disabled), " disabled"}, {bool(state.checked), " checked"},
                                   {bool(state.readOnly), " read-only"}, {bool(state.invisible), " invisible"}}) {
        if (on) line += word;
    }
    QStringList actions = node->actionInterface() ? node->actionInterface()->actionNames() : QStringList();
    // Qt 6.8 offers Press beside Toggle on a checkable button, doing the same; Qt 6.4 only Toggle.
    if (actions.contains(QAccessibleActionInterface::toggleAction())) actions.removeAll(QAccessibleActionInterface::pressAction());
    for (const QString& action : actions) line += " [" + action.toStdString() + "]";
    line += "\n";
    for (int i = 0; i < node->childCount(); ++i) line += readTree(node->child(i));
    return line;
}

// Whether the tree holds these lines in this order (others may come between).
::testing::AssertionResult readsInOrder(const std::string& tree, const std::vector<std::string>& lines)
{
    std::size_t at = 0;
    for (const std::string& line : lines) {
        at = tree.find(line + "\n", at);
        if (at == std::string::npos) return ::testing::AssertionFailure() << "no " << line << " in order in\n" << tree;
    }
    return ::testing::AssertionSuccess();
}

// As a screen reader finds the window that a start opens (the toolkit keeps its first answer for
// each widget, given while the widget is built). Its own ctest entry runs it as the first window
// of a process.
TEST(FirstWindow, ScreenReadersFindRolesNamesStatesAndDescriptions)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "usb", "USB Microphone", true, false));
    parts.audio.add(FakeAudioSystem::device(2, "cam", "USB Camera", true, false));
    parts.audio.defaultInput = "usb";
    StoredSettings stored;
    stored.inputPriority = {{"usb", "USB Microphone"}, {"cam", "USB Camera"}, {"old", "Old Headset"}};
    const auto engine = parts.makeEngine(stored);
    engine->start();
    TempFolder config;
    MainWindow window(*engine, [&] { return LoginItem(AppIdentity::forExecutable("/nowhere/vantorelle"), config / "autostart"); });
    window.show();
    auto* pane = qobject_cast<DevicePaneView*>(window.paneView());
    ASSERT_TRUE(pane != nullptr && pane->cards().size() == 3 && pane->cards()[0]->meterBar() != nullptr);
    MeterBar& bar = *pane->cards()[0]->meterBar();
    bar.follow(true, 0.4);

    const std::string tree = readTree(QAccessible::queryAccessibleInterface(&window));
    EXPECT_TRUE(readsInOrder(tree, {
        "Window 'Vantorelle'",
        "StaticText 'Vantorelle' read-only",
        "PageTabList 'Panes'",
        "PageTab 'Input Devices' selected focusable [Press]",
        "PageTab 'Output Devices' focusable [Press]",
        "Heading 'Input Devices'",
        "List 'Priority list'",
        "ListItem 'USB Microphone' (Rank 1 of 3, active) focusable [SetFocus]",
        "Button 'Move up' (Unavailable: already at the top) focusable disabled",
        "Button 'Move down' focusable [Press] [SetFocus]",
        "ProgressBar 'Input level' read-only",
        "ListItem 'USB Camera' (Rank 2 of 3, next in line) focusable [SetFocus]",
        "ListItem 'Old Headset' (Rank 3 of 3, not connected) focusable [SetFocus]",
        "Button 'Move down' (Unavailable: already at the bottom) focusable disabled",
        "CheckBox 'Auto-switch input' (Keeps the highest-ranked usable device active) focusable checked [Toggle] [SetFocus]",
        "Heading 'For calls'",
        "CheckBox 'Use a different device for calls' (" + DevicePaneView::callsSubtitle(Direction::input).toStdString()
            + ") focusable [Toggle] [SetFocus]",
    }));
    // A card's parts (rank, icon, name, caption, status) and the decoration stay out.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(pane->cards()[1])->childCount(), 2) << "the arrows only";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window.sidebar())->childCount(), 3) << "no mark";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window.sidebar().entry(Pane::input))->childCount(), 0);

    // The level reaches screen readers a few times a second at most, the latest one last.
    EXPECT_EQ(bar.announcedLevel(), 0.4) << "the first level at once";
    for (int step = 41; step <= 80; ++step) bar.follow(true, step / 100.0);
    EXPECT_EQ(bar.announcedLevel(), 0.4) << "the next ones wait";
    // The throttle is checked above; a loaded machine may fire its timer late.
    EXPECT_TRUE(waitUntil([&] { return bar.announcedLevel() == 0.8; }, 20 * MeterBar::announceInterval));

    // The Settings pane: headings, and the login error as an alert once it shows.
    QAccessible::queryAccessibleInterface(&window.sidebar().entry(Pane::settings))->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents(); // the new pane is shown from the event loop
    click(qobject_cast<SettingsPaneView*>(window.paneView())->launchAtLoginRow().toggle());
    EXPECT_TRUE(readsInOrder(readTree(QAccessible::queryAccessibleInterface(&window)), {
        "PageTab 'Settings' selected focusable [Press]",
        "Heading 'Settings'",
        "Heading 'Notifications'",
        "Heading 'General'",
        "AlertMessage '" + SettingsPaneView::loginItemErrorText().toStdString() + "'",
        "Heading 'Calls applications'",
    }));
}

// Contrast of two colours as the web's accessibility guidelines define it (1 to 21).
double contrast(QColor a, QColor b)
{
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// Every focus ring against what lies inside and around it, at the middle of the top and the
// bottom edge of its shape (the widget's rectangle unless given, in its coordinates).
void expectRingsStandOut(MainWindow& window, const std::vector<std::tuple<const char*, QWidget*, QRect>>& rings)
{
    ASSERT_TRUE(activate(window));
    for (const auto& [backdrop, widget, given] : rings) {
        widget->setFocus(Qt::TabFocusReason);
        window.setAttribute(Qt::WA_KeyboardFocusChange); // as a Tab key press leaves it
        const QImage image = snapshot(window);
        const QRect shape(widget->mapTo(&window, given.isNull() ? QPoint() : given.topLeft()),
                          given.isNull() ? widget->size() : given.size());
        double lowest = 21;
        for (const auto& [edge, inward] : {std::pair{shape.top(), 1}, {shape.bottom(), -1}}) {
            const QColor ring = image.pixelColor(shape.center().x(), edge + inward);
            lowest = std::min({lowest, contrast(ring, image.pixelColor(shape.center().x(), edge + 5 * inward)),
                               contrast(ring, image.pixelColor(shape.center().x(), edge - 2 * inward))});
        }
        ::testing::Test::RecordProperty(backdrop, QString::number(lowest, 'f', 2).toStdString());
        EXPECT_GE(lowest, 3.0) << backdrop;
    }
}

TEST(FocusRings, EachStandsOutFromWhatSurroundsIt)
{
    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "usb", "USB Microphone", true, false));
    parts.audio.add(FakeAudioSystem::device(2, "cam", "USB Camera", true, false));
    parts.audio.add(FakeAudioSystem::device(3, "yeti", "Blue Yeti", true, false));
    parts.audio.defaultInput = "usb";
    StoredSettings stored;
    stored.inputPriority = {{"usb", "USB Microphone"}, {"cam", "USB Camera"}, {"yeti", "Blue Yeti"}, {"gone", "Old Mic"}};
    const auto engine = parts.makeEngine(stored);
    engine->start();
    FakeInstallation installation;
    MainWindow window(*engine, installation.loginItems());
    window.show();
    auto* pane = qobject_cast<DevicePaneView*>(window.paneView());
    ASSERT_TRUE(pane != nullptr && pane->cards().size() == 4);
    SwitchToggle& toggle = pane->autoSwitchRow().toggle();
    const QSize track(SwitchToggle::trackWidth, SwitchToggle::trackHeight);
    expectRingsStandOut(window, {
        {"sidebar entry", &window.sidebar().entry(Pane::output), {}},
        {"selected sidebar entry", &window.sidebar().entry(Pane::input), {}},
        {"active card", pane->card("usb"), {}},
        {"arrow on the active card", &pane->card("usb")->downArrow(), {}},
        {"white card", pane->card("cam"), {}},
        {"grey card", pane->card("yeti"), {}},
        {"arrow on a grey card", &pane->card("yeti")->upArrow(), {}},
        {"dimmed card", pane->card("gone"), {}},
        {"arrow on a dimmed card", &pane->card("gone")->upArrow(), {}},
        {"switch on", &toggle, QRect(QPoint((toggle.width() - track.width()) / 2, (toggle.height() - track.height()) / 2), track)},
    });

    // The active card dimmed by the closed lid (nothing else is usable).
    FakeEngineParts lid;
    lid.audio.add(FakeAudioSystem::device(1, "builtin", "Built-in Microphone", true, false, true));
    lid.audio.defaultInput = "builtin";
    lid.lid.report(true);
    stored.inputPriority = {{"builtin", "Built-in Microphone"}, {"gone", "Old Mic"}};
    PriorityStore(lid.folder.path()).save(stored);
    const auto lidEngine = lid.makeEngine();
    lidEngine->start();
    MainWindow lidWindow(*lidEngine, installation.loginItems());
    lidWindow.show();
    DeviceCard* dimmed = qobject_cast<DevicePaneView*>(lidWindow.paneView())->card("builtin");
    ASSERT_TRUE(dimmed != nullptr && dimmed->look() == DeviceCard::Look::active && dimmed->isDimmed());
    expectRingsStandOut(lidWindow, {{"dimmed active card", dimmed, {}}, {"arrow on the dimmed active card", &dimmed->downArrow(), {}}});
}

TEST(PaneValues, ThePanesInSidebarOrderWithTheirLabelsAndSymbols)
{
    ASSERT_EQ(allPanes.size(), 3U);
    EXPECT_EQ(allPanes[0], Pane::input);
    EXPECT_EQ(allPanes[1], Pane::output);
    EXPECT_EQ(allPanes[2], Pane::settings);
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
