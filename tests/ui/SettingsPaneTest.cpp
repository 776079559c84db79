// The Settings pane: notice switches written to the settings file, launch at login, preview,
// calls applications.
#include "UiTestSupport.h"

#include "support/platform/QtWait.h"
#include "ui/CallsApplicationsCard.h"
#include "ui/NotificationPreview.h"
#include "ui/Palette.h"
#include "ui/SettingRow.h"
#include "ui/SettingsPaneView.h"
#include "ui/SwitchToggle.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace std::chrono_literals;

namespace vantorelle::test {
namespace {

class SettingsPaneTest : public ::testing::Test {
protected:
    void SetUp() override { engine = parts.makeEngine(); }

    std::unique_ptr<SettingsPaneView> makePane(bool installed = true)
    {
        const AppIdentity identity =
            installed ? installation.identity() : AppIdentity::forExecutable("/nowhere/vantorelle");
        auto pane = std::make_unique<SettingsPaneView>(*engine, LoginItem(identity, autostart));
        pane->resize(671, 560);
        pane->show();
        return pane;
    }

    StoredSettings onDisk() const { return PriorityStore(parts.folder.path()).load(); }
    bool fileExists() const { return std::filesystem::exists(parts.settingsFile); }

    FakeEngineParts parts;
    FakeNotifier& notifier = parts.notifier;
    FakeInstallation installation;
    TempFolder config;
    std::filesystem::path autostart = config / "autostart";
    std::shared_ptr<SwitchEngine> engine;
};

struct NoticeSwitch {
    const char* title;
    SettingRow& (SettingsPaneView::*row)() const noexcept;
    bool StoredSettings::*flag;
};

TEST_F(SettingsPaneTest, EachNoticeSwitchWritesItsFlagSavesAndAsksPermissionOnlyWhenTurnedOn)
{
    const NoticeSwitch switches[] = {
        {"Input device switched", &SettingsPaneView::inputSwitchRow, &StoredSettings::notifyInputSwitch},
        {"Output device switched", &SettingsPaneView::outputSwitchRow, &StoredSettings::notifyOutputSwitch},
        {"Device connected or removed", &SettingsPaneView::deviceChangeRow, &StoredSettings::notifyDeviceChange},
    };
    const auto pane = makePane();
    for (const NoticeSwitch& each : switches) {
        SCOPED_TRACE(each.title);
        SettingRow& row = ((*pane).*(each.row))();
        EXPECT_EQ(row.titleLabel().text(), QString::fromLatin1(each.title));
        const bool initial = engine->settings().*(each.flag);
        EXPECT_EQ(row.toggle().isChecked(), initial);
        const StoredSettings others = engine->settings();

        // To off (or on, for the one that starts off) and back.
        const int before = notifier.permissionRequests;
        click(row.toggle());
        EXPECT_EQ(engine->settings().*(each.flag), !initial);
        EXPECT_EQ(onDisk().*(each.flag), !initial) << "saved at once";
        EXPECT_EQ(row.toggle().isChecked(), !initial);
        EXPECT_EQ(notifier.permissionRequests, before + (initial ? 0 : 1));

        click(row.toggle());
        EXPECT_EQ(onDisk().*(each.flag), initial);
        EXPECT_EQ(notifier.permissionRequests, before + 1) << "one request, on the turn to on";

        StoredSettings expected = others;
        EXPECT_EQ(onDisk(), expected) << "nothing else changed";
    }
    EXPECT_FALSE(notifier.playSound());
}

TEST_F(SettingsPaneTest, TurningAnInputSwitchOffThenOnSavesTwiceAndAsksOnce)
{
    const auto pane = makePane();
    ASSERT_TRUE(engine->settings().notifyInputSwitch);
    ASSERT_FALSE(fileExists());
    click(pane->inputSwitchRow().toggle());
    ASSERT_TRUE(fileExists());
    EXPECT_FALSE(onDisk().notifyInputSwitch);
    EXPECT_EQ(notifier.permissionRequests, 0);
    std::filesystem::remove(parts.settingsFile);
    click(pane->inputSwitchRow().toggle());
    ASSERT_TRUE(fileExists()) << "a second save";
    EXPECT_TRUE(onDisk().notifyInputSwitch);
    EXPECT_EQ(notifier.permissionRequests, 1);
}

TEST_F(SettingsPaneTest, PlaySoundChangesTheFileAndTheNotifierWithoutAskingPermission)
{
    const auto pane = makePane();
    SettingRow& sound = pane->playSoundRow();
    EXPECT_EQ(sound.titleLabel().text(), QStringLiteral("Play sound"));
    EXPECT_FALSE(sound.toggle().isChecked());

    click(sound.toggle());
    EXPECT_TRUE(engine->settings().notifySound);
    EXPECT_TRUE(onDisk().notifySound);
    EXPECT_TRUE(notifier.playSound());
    EXPECT_EQ(notifier.permissionRequests, 0);

    click(sound.toggle());
    EXPECT_FALSE(onDisk().notifySound);
    EXPECT_FALSE(notifier.playSound());
    EXPECT_EQ(notifier.permissionRequests, 0);
}

TEST_F(SettingsPaneTest, SwitchesFollowSettingsChangedElsewhere)
{
    const auto pane = makePane();
    StoredSettings settings = engine->settings();
    settings.notifyDeviceChange = true;
    settings.notifyOutputSwitch = false;
    engine->setSettings(settings);
    ASSERT_TRUE(waitUntil([&] { return pane->deviceChangeRow().toggle().isChecked(); }));
    EXPECT_FALSE(pane->outputSwitchRow().toggle().isChecked());
    EXPECT_EQ(notifier.permissionRequests, 0) << "following the engine writes nothing";
    EXPECT_FALSE(fileExists());
}

TEST_F(SettingsPaneTest, AnUnwritableSettingsFileNeitherStopsTheSwitchNorLosesTheChange)
{
    const auto pane = makePane();
    // A file where the settings folder should be: every save fails, even as root.
    std::filesystem::remove_all(parts.folder.path());
    writeFile(parts.folder.path(), "in the way");

    click(pane->inputSwitchRow().toggle());
    EXPECT_FALSE(pane->inputSwitchRow().toggle().isChecked()) << "the switch still moves";
    EXPECT_FALSE(engine->settings().notifyInputSwitch);

    std::filesystem::remove(parts.folder.path());
    std::filesystem::create_directories(parts.folder.path());
    click(pane->playSoundRow().toggle());
    ASSERT_TRUE(fileExists()) << "the next possible save writes it";
    EXPECT_FALSE(onDisk().notifyInputSwitch) << "with the change that could not be saved before";
    EXPECT_TRUE(onDisk().notifySound);
}

TEST_F(SettingsPaneTest, LaunchAtLoginRegistersAndUnregistersWhenInstalled)
{
    const auto pane = makePane(true);
    SettingRow& row = pane->launchAtLoginRow();
    EXPECT_EQ(row.titleLabel().text(), QStringLiteral("Launch at login"));
    EXPECT_EQ(row.subtitleLabel().text(), QStringLiteral("Starts Vantorelle in the background when you sign in"));
    EXPECT_FALSE(row.toggle().isChecked());

    click(row.toggle());
    EXPECT_TRUE(row.toggle().isChecked());
    EXPECT_TRUE(pane->launchAtLogin());
    EXPECT_TRUE(std::filesystem::exists(autostart / "vantorelle.desktop"));
    EXPECT_FALSE(pane->loginItemError().has_value());
    EXPECT_FALSE(pane->loginErrorLabel().isVisible());

    click(row.toggle());
    EXPECT_FALSE(row.toggle().isChecked());
    EXPECT_FALSE(std::filesystem::exists(autostart / "vantorelle.desktop"));
    EXPECT_FALSE(fileExists()) << "the login item is never part of the settings file";
}

TEST_F(SettingsPaneTest, WithoutAnIdentityTheSwitchFallsBackAndTheRedLineAppears)
{
    const auto pane = makePane(false);
    SettingRow& row = pane->launchAtLoginRow();
    click(row.toggle());
    EXPECT_FALSE(row.toggle().isChecked());
    ASSERT_TRUE(pane->loginItemError().has_value());
    EXPECT_EQ(*pane->loginItemError(),
              QStringLiteral("Could not change the login item. Install Vantorelle and start the installed copy for this."));
    QLabel& line = pane->loginErrorLabel();
    EXPECT_TRUE(line.isVisible());
    EXPECT_EQ(line.text(), *pane->loginItemError());
    EXPECT_EQ(line.palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_FALSE(std::filesystem::exists(autostart));
}

TEST_F(SettingsPaneTest, AFailedChangeShowsTheRealStateAndTheNextSuccessClearsTheError)
{
    const auto pane = makePane(false);
    SettingRow& row = pane->launchAtLoginRow();
    // Someone else enabled it after the pane was built; registering from here still fails.
    std::filesystem::create_directories(autostart);
    writeFile(autostart / "vantorelle.desktop", "[Desktop Entry]\nExec=/usr/bin/vantorelle\n");
    click(row.toggle());
    EXPECT_TRUE(row.toggle().isChecked()) << "stays on: the item is in fact enabled";
    EXPECT_TRUE(pane->loginErrorLabel().isVisible());

    click(row.toggle());
    EXPECT_FALSE(row.toggle().isChecked());
    EXPECT_FALSE(pane->loginItemError().has_value());
    EXPECT_FALSE(pane->loginErrorLabel().isVisible());
}

TEST_F(SettingsPaneTest, AFailedSaveShowsARedLineUntilASaveSucceeds)
{
    const auto pane = makePane();
    EXPECT_FALSE(pane->saveErrorLabel().isVisible());
    std::filesystem::create_directory(parts.settingsFile); // no save can replace a folder
    click(pane->playSoundRow().toggle());
    ASSERT_TRUE(waitUntil([&] { return pane->saveErrorLabel().isVisible(); }));
    EXPECT_EQ(pane->saveErrorLabel().text(),
              QStringLiteral("Could not save the settings. Changes last until Vantorelle quits."));
    EXPECT_EQ(pane->saveErrorLabel().palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(makePane()->saveErrorLabel().isVisible()) << "a new pane shows it too";

    std::filesystem::remove(parts.settingsFile);
    click(pane->playSoundRow().toggle());
    EXPECT_TRUE(waitUntil([&] { return !pane->saveErrorLabel().isVisible(); }));
}

TEST_F(SettingsPaneTest, AnotherProgramChoosingDefaultsIsToldInOneGreyLineWhileItLasts)
{
    engine->start();
    const auto pane = makePane();
    EXPECT_FALSE(pane->otherChooserLabel().isVisible());
    parts.audio.otherChooser = OtherChooser::switchOnConnect;
    parts.audio.fireDefaultChange();
    ASSERT_TRUE(waitUntil([&] { return pane->otherChooserLabel().isVisible(); }));
    const QString text = pane->otherChooserLabel().text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Another program chooses default devices too: "))) << text.toStdString();
    EXPECT_EQ(pane->otherChooserLabel().palette().color(QPalette::WindowText), Palette::grey);
    const auto lines = pane->findChildren<QLabel*>();
    EXPECT_EQ(std::ranges::count_if(lines, [&](const QLabel* label) { return label->text() == text; }), 1) << "told once";

    parts.audio.otherChooser.reset();
    parts.audio.fireDeviceListChange();
    EXPECT_TRUE(waitUntil([&] { return !pane->otherChooserLabel().isVisible(); }));
}

TEST_F(SettingsPaneTest, CallsApplicationsListsWhatRecordsAndEachCheckboxWritesTheMark)
{
    engine->start();
    const auto pane = makePane();
    EXPECT_NE(findLabel(*pane, QStringLiteral("CALLS APPLICATIONS")), nullptr);
    EXPECT_NE(findLabel(*pane, SettingsPaneView::callsApplicationsNote()), nullptr);
    CallsApplicationsCard& card = pane->callsApplicationsCard();
    EXPECT_TRUE(card.emptyLabel().isVisible());
    EXPECT_EQ(card.emptyLabel().text(), "Applications appear here once they record sound.");
    EXPECT_EQ(card.emptyLabel().palette().color(QPalette::WindowText), Palette::grey);

    // Recording applications join the list; playing ones do not. A name of any length fits.
    const std::string longName(300, 'W');
    parts.audio.streamsPresent = {{1, Direction::input, "Meeting Room", "meeting-room", "", "", ""},
                                  {2, Direction::output, "Music Player", "", "", "", ""},
                                  {3, Direction::input, longName, "", "", "", ""}};
    parts.audio.fireStreamsChange();
    ASSERT_TRUE(waitUntil([&] { return card.checkBox("Meeting Room") != nullptr; }));
    EXPECT_FALSE(card.emptyLabel().isVisible());
    EXPECT_EQ(card.checkBox("Music Player"), nullptr);
    ASSERT_NE(card.checkBox(longName), nullptr);
    const auto* scroll = pane->findChild<QScrollArea*>();
    EXPECT_LE(scroll->widget()->minimumSizeHint().width(), scroll->viewport()->width()) << "cut at the side";
    QCheckBox& meeting = *card.checkBox("Meeting Room");
    EXPECT_FALSE(meeting.isChecked());
    EXPECT_EQ(meeting.accessibleName(), "Meeting Room");

    click(meeting);
    EXPECT_EQ(onDisk().callsApplications, std::vector<std::string>{"Meeting Room"});

    // Marked elsewhere (the settings of another start): listed, and checked.
    StoredSettings settings = engine->settings();
    settings.callsApplications.push_back("Softphone");
    engine->setSettings(settings);
    ASSERT_TRUE(waitUntil([&] { return card.checkBox("Softphone") != nullptr; }));
    EXPECT_TRUE(card.checkBox("Softphone")->isChecked());

    click(*card.checkBox("Softphone"));
    EXPECT_EQ(onDisk().callsApplications, std::vector<std::string>{"Meeting Room"});
    QCoreApplication::processEvents();
    ASSERT_NE(card.checkBox("Softphone"), nullptr) << "unchecked, its row stays while the pane lives";
    EXPECT_FALSE(card.checkBox("Softphone")->isChecked());
    EXPECT_TRUE(meeting.isChecked());

    // A program's streams named apart make one row, by the shorter name.
    parts.audio.streamsPresent.push_back({4, Direction::input, "Chromium input", "", "", "", "chromium"});
    parts.audio.streamsPresent.push_back({5, Direction::output, "Chromium", "", "", "", "chromium"});
    parts.audio.fireStreamsChange();
    ASSERT_TRUE(waitUntil([&] { return card.checkBox("chromium") != nullptr; }));
    EXPECT_EQ(card.checkBox("chromium")->accessibleName(), "Chromium");
    EXPECT_EQ(card.checkBox("Chromium input"), nullptr);

    // Any program that records and plays, by choice.
    SettingRow& anyProgram = pane->anyProgramRow();
    EXPECT_EQ(anyProgram.titleLabel().text(), "Any application in a call");
    EXPECT_FALSE(anyProgram.toggle().isChecked());
    click(anyProgram.toggle());
    EXPECT_TRUE(onDisk().callsFromAnyProgram);
}

TEST_F(SettingsPaneTest, EachNewPaneReadsTheLoginItemAfreshAndShowsNoError)
{
    {
        const auto failed = makePane(false);
        click(failed->launchAtLoginRow().toggle());
        ASSERT_TRUE(failed->loginErrorLabel().isVisible());
    }
    std::filesystem::create_directories(autostart);
    writeFile(autostart / "vantorelle.desktop", "[Desktop Entry]\nExec=/usr/bin/vantorelle\n");
    const auto pane = makePane(false);
    EXPECT_TRUE(pane->launchAtLoginRow().toggle().isChecked());
    EXPECT_FALSE(pane->loginErrorLabel().isVisible());
}

TEST_F(SettingsPaneTest, ShowsItsHeadingCapitalCaptionsAndTheStaticPreview)
{
    const auto pane = makePane();
    EXPECT_NE(findLabel(*pane, QStringLiteral("Settings")), nullptr);
    EXPECT_NE(findLabel(*pane, QStringLiteral("Notifications and how Vantorelle runs.")), nullptr);
    QLabel* notifications = findLabel(*pane, QStringLiteral("NOTIFICATIONS"));
    ASSERT_NE(notifications, nullptr);
    EXPECT_NEAR(notifications->font().letterSpacing(), 0.6, 0.02);
    EXPECT_EQ(notifications->palette().color(QPalette::WindowText), Palette::greyLight);
    EXPECT_NE(findLabel(*pane, QStringLiteral("GENERAL")), nullptr);
    EXPECT_EQ(findLabel(*pane, QStringLiteral("Notifications")), nullptr);

    EXPECT_NE(findLabel(*pane, QStringLiteral("Notification preview")), nullptr);
    EXPECT_NE(findLabel(*pane, QStringLiteral("Input switched")), nullptr);
    EXPECT_NE(findLabel(*pane, QStringLiteral("Shure MV7 connected \u2014 now active")), nullptr);
    auto* preview = pane->findChild<NotificationPreview*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_LT(preview->bubble().width(), 400) << "only as wide as its content";
    // The bubble's shadow falls below it, beyond the preview's own edges.
    const QImage image = snapshot(*pane);
    const QWidget& bubble = preview->bubble();
    const QPoint below = bubble.mapTo(pane.get(), QPoint(bubble.width() / 2, bubble.height() + 6));
    const QColor shade = image.pixelColor(below);
    EXPECT_LT(lightness(shade), 3 * 255 - 6) << "a soft shadow";
    EXPECT_GT(lightness(shade), 3 * 200) << "not a hard edge";
    EXPECT_TRUE(sameColour(image.pixelColor(bubble.mapTo(pane.get(), QPoint(bubble.width() - 20, 4))),
                           NotificationPreview::bubbleFill));
    EXPECT_EQ(notifier.notices.size(), 0U) << "the preview posts nothing";
}

} // namespace
} // namespace vantorelle::test
