<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Notice</name>
    <message>
        <source>Input switched</source>
        <extracomment>Notice title: the default microphone (input device) changed.</extracomment>
        <translation>Eingabe gewechselt</translation>
    </message>
    <message>
        <source>Output switched</source>
        <translation>Ausgabe gewechselt</translation>
    </message>
    <message>
        <source>%1 connected — now active</source>
        <extracomment>%1 is the name of the device just plugged in, which is now the default.</extracomment>
        <translation>%1 verbunden – jetzt aktiv</translation>
    </message>
    <message>
        <source>%1 disconnected — %2 is now active</source>
        <extracomment>%1 is the device that went away, %2 the device that is now the default.</extracomment>
        <translation>%1 getrennt – %2 ist jetzt aktiv</translation>
    </message>
    <message>
        <source>Lid closed — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Deckel geschlossen – %1 ist jetzt aktiv</translation>
    </message>
    <message>
        <source>Lid open — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Deckel geöffnet – %1 ist jetzt aktiv</translation>
    </message>
    <message>
        <source>%1 is now active</source>
        <extracomment>%1 is the device that is now the default.</extracomment>
        <translation>%1 ist jetzt aktiv</translation>
    </message>
    <message>
        <source>Device connected</source>
        <extracomment>Notice title; the body is the device&apos;s name.</extracomment>
        <translation>Gerät verbunden</translation>
    </message>
    <message>
        <source>Device removed</source>
        <translation>Gerät entfernt</translation>
    </message>
    <message>
        <source>Call audio</source>
        <extracomment>Notice title: a call&apos;s sound goes to a device of its own.</extracomment>
        <translation>Anruf-Audio</translation>
    </message>
    <message>
        <source>%1 is used for this call</source>
        <extracomment>%1 is the device the call uses.</extracomment>
        <translation>%1 wird für diesen Anruf verwendet</translation>
    </message>
</context>
<context>
    <name>vantorelle::ActivePill</name>
    <message>
        <source>Active</source>
        <extracomment>Status of the device in use now (a badge on its card).</extracomment>
        <translation>Aktiv</translation>
    </message>
</context>
<context>
    <name>vantorelle::ArrowButton</name>
    <message>
        <source>Move up</source>
        <extracomment>Moves the device one rank up in the priority list (button and menu item).</extracomment>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Unavailable: already at the top</source>
        <translation>Nicht verfügbar: bereits ganz oben</translation>
    </message>
    <message>
        <source>Unavailable: already at the bottom</source>
        <translation>Nicht verfügbar: bereits ganz unten</translation>
    </message>
</context>
<context>
    <name>vantorelle::BluezConnector</name>
    <message>
        <source>the headset is off or out of range</source>
        <translation>das Headset ist aus oder außer Reichweite</translation>
    </message>
    <message>
        <source>the headset offers no sound connection</source>
        <translation>das Headset bietet keine Audioverbindung an</translation>
    </message>
    <message>
        <source>Bluetooth no longer knows this headset</source>
        <translation>Bluetooth kennt dieses Headset nicht mehr</translation>
    </message>
    <message>
        <source>Bluetooth is not running</source>
        <translation>Bluetooth läuft nicht</translation>
    </message>
    <message>
        <source>Bluetooth is not ready yet</source>
        <translation>Bluetooth ist noch nicht bereit</translation>
    </message>
    <message>
        <source>the headset is already being connected</source>
        <translation>das Headset wird bereits verbunden</translation>
    </message>
    <message>
        <source>the headset refused the connection</source>
        <translation>das Headset hat die Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>Could not connect: %1</source>
        <extracomment>Under a Bluetooth device&apos;s name; %1 is the reason, which starts in lower case.</extracomment>
        <translation>Verbindung fehlgeschlagen: %1</translation>
    </message>
</context>
<context>
    <name>vantorelle::CallsApplicationsCard</name>
    <message>
        <source>Applications appear here once they record sound.</source>
        <translation>Anwendungen erscheinen hier, sobald sie Ton aufnehmen.</translation>
    </message>
    <message>
        <source>Its sound is treated as a call while it records and plays</source>
        <translation>Ihr Ton wird als Anruf behandelt, solange sie aufnimmt und abspielt</translation>
    </message>
</context>
<context>
    <name>vantorelle::DeviceCard</name>
    <message>
        <source>Never chosen automatically</source>
        <translation>Wird nie automatisch gewählt</translation>
    </message>
    <message>
        <source>Sits out when the lid is closed</source>
        <translation>Ruht bei geschlossenem Deckel</translation>
    </message>
    <message>
        <source>Keeps its seat for when it returns</source>
        <extracomment>Of a device that is not connected: it keeps its rank until it comes back.</extracomment>
        <translation>Behält seinen Platz, bis es zurückkommt</translation>
    </message>
    <message>
        <source>Takes over if the active device disconnects</source>
        <translation>Übernimmt, wenn das aktive Gerät getrennt wird</translation>
    </message>
    <message>
        <source>The understudy</source>
        <extracomment>A connected device that waits behind others, ready to step in (theatre sense).</extracomment>
        <translation>Die Zweitbesetzung</translation>
    </message>
    <message>
        <source>Unavailable — lid closed</source>
        <translation>Nicht verfügbar – Deckel zu</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Next in line</source>
        <extracomment>Status: the device that takes over when the active one goes.</extracomment>
        <translation>Als Nächstes dran</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Verfügbar</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>Umbenennen …</translation>
    </message>
    <message>
        <source>Never switch to this device</source>
        <translation>Nie zu diesem Gerät wechseln</translation>
    </message>
    <message>
        <source>Allow switching to this device</source>
        <translation>Wechsel zu diesem Gerät erlauben</translation>
    </message>
    <message>
        <source>Remove from list</source>
        <translation>Aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Connect</source>
        <extracomment>Menu item: connect a paired Bluetooth device.</extracomment>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>, lid closed</source>
        <translation>, Deckel geschlossen</translation>
    </message>
    <message>
        <source>Rank %1 of %2, %3</source>
        <extracomment>Read by screen readers: &quot;Rank 1 of 5, active&quot;; %3 is the card&apos;s status, lowercased.</extracomment>
        <translation>Rang %1 von %2, %3</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Wird verbunden …</translation>
    </message>
</context>
<context>
    <name>vantorelle::DevicePaneView</name>
    <message>
        <source>Input Devices</source>
        <translation>Eingabegeräte</translation>
    </message>
    <message>
        <source>The highest-ranked microphone that is connected becomes active. Reorder with the arrows.</source>
        <translation>Das am höchsten eingestufte verbundene Mikrofon wird aktiv. Mit den Pfeilen umsortieren.</translation>
    </message>
    <message>
        <source>No input devices yet.</source>
        <translation>Noch keine Eingabegeräte.</translation>
    </message>
    <message>
        <source>Auto-switch input</source>
        <translation>Eingabe automatisch wechseln</translation>
    </message>
    <message>
        <source>If the laptop&apos;s lid is closed, the built-in microphone becomes unavailable and the next device in the stack becomes active.</source>
        <translation>Ist der Deckel des Laptops geschlossen, ist das eingebaute Mikrofon nicht verfügbar und das nächste Gerät der Liste wird aktiv.</translation>
    </message>
    <message>
        <source>Calls use the first available microphone below; everything else records from the default</source>
        <translation>Anrufe nutzen das erste verfügbare Mikrofon unten; alles andere nimmt vom Standardgerät auf</translation>
    </message>
    <message>
        <source>No input devices for calls yet.</source>
        <translation>Noch keine Eingabegeräte für Anrufe.</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Ausgabegeräte</translation>
    </message>
    <message>
        <source>Sound plays through the highest-ranked device that is connected. Reorder with the arrows.</source>
        <translation>Der Ton läuft über das am höchsten eingestufte verbundene Gerät. Mit den Pfeilen umsortieren.</translation>
    </message>
    <message>
        <source>No output devices yet.</source>
        <translation>Noch keine Ausgabegeräte.</translation>
    </message>
    <message>
        <source>Auto-switch output</source>
        <translation>Ausgabe automatisch wechseln</translation>
    </message>
    <message>
        <source>When the active device disconnects, sound falls back to the next connected seat instantly — no clicks in the system&apos;s sound settings.</source>
        <extracomment>&quot;Seat&quot;: a place in the ranked list of devices.</extracomment>
        <translation>Wird das aktive Gerät getrennt, wechselt der Ton sofort zum nächsten verbundenen Platz – ohne Klicks in den Toneinstellungen des Systems.</translation>
    </message>
    <message>
        <source>Calls play through the first available device below; all other sound stays on the default</source>
        <translation>Anrufe laufen über das erste verfügbare Gerät unten; aller andere Ton bleibt auf dem Standardgerät</translation>
    </message>
    <message>
        <source>No output devices for calls yet.</source>
        <translation>Noch keine Ausgabegeräte für Anrufe.</translation>
    </message>
    <message>
        <source>Keeps the highest-ranked usable device active</source>
        <translation>Hält das am höchsten eingestufte nutzbare Gerät aktiv</translation>
    </message>
    <message>
        <source>Use a different device for calls</source>
        <translation>Anderes Gerät für Anrufe verwenden</translation>
    </message>
    <message>
        <source>Priority list</source>
        <translation>Prioritätenliste</translation>
    </message>
    <message>
        <source>For calls</source>
        <translation>Für Anrufe</translation>
    </message>
    <message>
        <source>Priority list for calls</source>
        <translation>Prioritätenliste für Anrufe</translation>
    </message>
</context>
<context>
    <name>vantorelle::MeterBar</name>
    <message>
        <source>Input level</source>
        <translation>Eingangspegel</translation>
    </message>
</context>
<context>
    <name>vantorelle::NotificationPreview</name>
    <message>
        <source>Notification preview</source>
        <translation>Vorschau der Benachrichtigung</translation>
    </message>
</context>
<context>
    <name>vantorelle::Pane</name>
    <message>
        <source>Input Devices</source>
        <translation>Eingabegeräte</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Ausgabegeräte</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>vantorelle::PortalShortcuts</name>
    <message>
        <source>Next output</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next output device the default.</extracomment>
        <translation>Nächste Ausgabe</translation>
    </message>
    <message>
        <source>Next input</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next input device the default.</extracomment>
        <translation>Nächste Eingabe</translation>
    </message>
</context>
<context>
    <name>vantorelle::SettingsPaneView</name>
    <message>
        <source>Could not change the login item. Install Vantorelle and start the installed copy for this.</source>
        <translation>Der Autostart-Eintrag konnte nicht geändert werden. Installieren Sie Vantorelle und starten Sie dafür die installierte Version.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Notifications and how Vantorelle runs.</source>
        <translation>Benachrichtigungen und wie Vantorelle läuft.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Calls applications</source>
        <translation>Anwendungen für Anrufe</translation>
    </message>
    <message>
        <source>Input device switched</source>
        <translation>Eingabegerät gewechselt</translation>
    </message>
    <message>
        <source>Output device switched</source>
        <translation>Ausgabegerät gewechselt</translation>
    </message>
    <message>
        <source>When a higher-ranked microphone takes over or the current one disconnects</source>
        <translation>Wenn ein höher eingestuftes Mikrofon übernimmt oder das aktuelle getrennt wird</translation>
    </message>
    <message>
        <source>When sound starts playing through a different device</source>
        <translation>Wenn der Ton über ein anderes Gerät zu laufen beginnt</translation>
    </message>
    <message>
        <source>Device connected or removed</source>
        <translation>Gerät verbunden oder entfernt</translation>
    </message>
    <message>
        <source>When any audio device appears or disappears, even if nothing switches</source>
        <translation>Wenn ein Audiogerät erscheint oder verschwindet, auch wenn nichts wechselt</translation>
    </message>
    <message>
        <source>Play sound</source>
        <translation>Ton abspielen</translation>
    </message>
    <message>
        <source>A soft chime alongside each notification</source>
        <translation>Ein leiser Klang zu jeder Benachrichtigung</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <source>Starts Vantorelle in the background when you sign in</source>
        <translation>Startet Vantorelle im Hintergrund, wenn Sie sich anmelden</translation>
    </message>
    <message>
        <source>Could not save the settings. Changes last until Vantorelle quits.</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden. Änderungen gelten, bis Vantorelle beendet wird.</translation>
    </message>
    <message>
        <source>While a checked application both records from a microphone and plays, all of its sound is treated as a call, even when it does not say so itself.</source>
        <translation>Solange eine markierte Anwendung gleichzeitig vom Mikrofon aufnimmt und Ton abspielt, wird ihr gesamter Ton als Anruf behandelt, auch wenn sie das selbst nicht angibt.</translation>
    </message>
    <message>
        <source>Any application in a call</source>
        <translation>Jede Anwendung in einem Anruf</translation>
    </message>
    <message>
        <source>Treat every application that records from a microphone and plays at once as in a call</source>
        <translation>Jede Anwendung, die gleichzeitig vom Mikrofon aufnimmt und Ton abspielt, als Anruf behandeln</translation>
    </message>
</context>
<context>
    <name>vantorelle::SidebarView</name>
    <message>
        <source>Auto device switching</source>
        <translation>Automatischer Gerätewechsel</translation>
    </message>
    <message>
        <source>Panes</source>
        <translation>Bereiche</translation>
    </message>
</context>
<context>
    <name>vantorelle::TrayMenu</name>
    <message>
        <source>Output</source>
        <extracomment>Tray menu section heading over the output devices (as in the desktop&apos;s sound settings).</extracomment>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Eingabe</translation>
    </message>
    <message>
        <source>Open Vantorelle</source>
        <translation>Vantorelle öffnen</translation>
    </message>
    <message>
        <source>Quit Vantorelle</source>
        <translation>Vantorelle beenden</translation>
    </message>
    <message>
        <source>%1 (never automatic)</source>
        <extracomment>A device in the tray menu that the rule never switches to; it can still be picked here.</extracomment>
        <translation>%1 (nie automatisch)</translation>
    </message>
</context>
</TS>
