// The program in the session's language: which translation is chosen, Qt's own texts beside
// ours, and the notices and the tray menu, whose device names stay as they are.
#include "UiTestSupport.h"

#include "engine/SwitchNotices.h"
#include "services/Notifier.h"
#include "ui/Pane.h"
#include "ui/TrayMenu.h"

#include <QAction>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <sstream>

namespace vantorelle::test {
namespace {

TEST(Translations, TheSessionsLanguageWhereShippedEnglishOtherwise)
{
    const struct {
        const char* language;
        const char* inputPane;
        const char* qtUndo; // a text of Qt's own, from its translations
    } cases[]{
        {"de_DE", "Eingabegeräte", "&Rückgängig"},
        {"de_AT", "Eingabegeräte", "&Rückgängig"},
        {"fr_FR", "Périphériques d’entrée", "&Annuler"},
        {"es_ES", "Dispositivos de entrada", "&Deshacer"},
        {"it_IT", "Dispositivi di ingresso", "Ann&ulla"},
        {"pt_BR", "Dispositivos de entrada", "&Desfazer"},
        {"en_GB", "Input Devices", "&Undo"},
        {"ja_JP", "Input Devices", "&Undo"},
        {"C", "Input Devices", "&Undo"},
    };
    for (const auto& c : cases) {
        const WindowLanguage language(QString::fromLatin1(c.language));
        EXPECT_EQ(paneLabel(Pane::input), QString::fromUtf8(c.inputPane)) << c.language;
        EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QString::fromUtf8(c.qtUndo)) << c.language;
    }
    EXPECT_EQ(paneLabel(Pane::input), QStringLiteral("Input Devices")) << "English again once the language goes";
}

TEST(Translations, NoticesAndTheTrayMenuSpeakItWithTheNamesAsTheyAre)
{
    const WindowLanguage language(QStringLiteral("de"));
    std::ostringstream out;
    Notifier notifier(AppIdentity::forExecutable("/nowhere/vantorelle"), out);
    notifier.post(connectedNowActiveNotice(Direction::input, "Mic %2 <Desk>"));
    notifier.post(deviceNotice(AudioDevice{1, "usb", "USB Headset"}, false));
    notifier.post(NoticeText{"Output switched", "%1 disconnected — %2 is now active", {"Dock %1", "Speakers"}});
    EXPECT_EQ(out.str(), "[notification] Eingabe gewechselt: Mic %2 <Desk> verbunden – jetzt aktiv\n"
                         "[notification] Gerät entfernt: USB Headset\n"
                         "[notification] Ausgabe gewechselt: Dock %1 getrennt – Speakers ist jetzt aktiv\n");

    FakeEngineParts parts;
    parts.audio.add(FakeAudioSystem::device(1, "spk", "Output", false, true, true));
    const auto engine = parts.makeEngine();
    engine->start();
    TrayMenu menu(*engine);
    QStringList texts;
    for (const QAction* action : menu.actions()) texts << action->text();
    EXPECT_EQ(texts, (QStringList{"Ausgabe", "Output", "", "Vantorelle öffnen", "", "Vantorelle beenden"}))
        << "a device named like a heading keeps its name";
}

} // namespace
} // namespace vantorelle::test
