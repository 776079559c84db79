<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Notice</name>
    <message>
        <source>Input switched</source>
        <extracomment>Notice title: the default microphone (input device) changed.</extracomment>
        <translation>Entrée changée</translation>
    </message>
    <message>
        <source>Output switched</source>
        <translation>Sortie changée</translation>
    </message>
    <message>
        <source>%1 connected — now active</source>
        <extracomment>%1 is the name of the device just plugged in, which is now the default.</extracomment>
        <translation>%1 connecté — maintenant actif</translation>
    </message>
    <message>
        <source>%1 disconnected — %2 is now active</source>
        <extracomment>%1 is the device that went away, %2 the device that is now the default.</extracomment>
        <translation>%1 déconnecté — %2 est maintenant actif</translation>
    </message>
    <message>
        <source>Lid closed — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Écran rabattu — %1 est maintenant actif</translation>
    </message>
    <message>
        <source>Lid open — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Écran ouvert — %1 est maintenant actif</translation>
    </message>
    <message>
        <source>%1 is now active</source>
        <extracomment>%1 is the device that is now the default.</extracomment>
        <translation>%1 est maintenant actif</translation>
    </message>
    <message>
        <source>Device connected</source>
        <extracomment>Notice title; the body is the device&apos;s name.</extracomment>
        <translation>Périphérique connecté</translation>
    </message>
    <message>
        <source>Device removed</source>
        <translation>Périphérique retiré</translation>
    </message>
    <message>
        <source>Call audio</source>
        <extracomment>Notice title: a call&apos;s sound goes to a device of its own.</extracomment>
        <translation>Audio de l’appel</translation>
    </message>
    <message>
        <source>%1 is used for this call</source>
        <extracomment>%1 is the device the call uses.</extracomment>
        <translation>%1 est utilisé pour cet appel</translation>
    </message>
</context>
<context>
    <name>vantorelle::ActivePill</name>
    <message>
        <source>Active</source>
        <extracomment>Status of the device in use now (a badge on its card).</extracomment>
        <translation>Actif</translation>
    </message>
</context>
<context>
    <name>vantorelle::ArrowButton</name>
    <message>
        <source>Move up</source>
        <extracomment>Moves the device one rank up in the priority list (button and menu item).</extracomment>
        <translation>Monter</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Descendre</translation>
    </message>
    <message>
        <source>Unavailable: already at the top</source>
        <translation>Indisponible : déjà en haut</translation>
    </message>
    <message>
        <source>Unavailable: already at the bottom</source>
        <translation>Indisponible : déjà en bas</translation>
    </message>
</context>
<context>
    <name>vantorelle::BluezConnector</name>
    <message>
        <source>the headset is off or out of range</source>
        <translation>le casque est éteint ou hors de portée</translation>
    </message>
    <message>
        <source>the headset offers no sound connection</source>
        <translation>le casque ne propose aucune connexion audio</translation>
    </message>
    <message>
        <source>Bluetooth no longer knows this headset</source>
        <translation>le Bluetooth ne connaît plus ce casque</translation>
    </message>
    <message>
        <source>Bluetooth is not running</source>
        <translation>le Bluetooth n’est pas lancé</translation>
    </message>
    <message>
        <source>Bluetooth is not ready yet</source>
        <translation>le Bluetooth n’est pas encore prêt</translation>
    </message>
    <message>
        <source>the headset is already being connected</source>
        <translation>le casque est déjà en cours de connexion</translation>
    </message>
    <message>
        <source>the headset refused the connection</source>
        <translation>le casque a refusé la connexion</translation>
    </message>
    <message>
        <source>Could not connect: %1</source>
        <extracomment>Under a Bluetooth device&apos;s name; %1 is the reason, which starts in lower case.</extracomment>
        <translation>Connexion impossible : %1</translation>
    </message>
</context>
<context>
    <name>vantorelle::CallsApplicationsCard</name>
    <message>
        <source>Applications appear here once they record sound.</source>
        <translation>Les applications apparaissent ici dès qu’elles enregistrent du son.</translation>
    </message>
    <message>
        <source>Its sound is treated as a call while it records and plays</source>
        <translation>Son son est traité comme un appel tant qu’elle enregistre et lit du son</translation>
    </message>
</context>
<context>
    <name>vantorelle::DeviceCard</name>
    <message>
        <source>Never chosen automatically</source>
        <translation>Jamais choisi automatiquement</translation>
    </message>
    <message>
        <source>Sits out when the lid is closed</source>
        <translation>En retrait quand l’écran est rabattu</translation>
    </message>
    <message>
        <source>Keeps its seat for when it returns</source>
        <extracomment>Of a device that is not connected: it keeps its rank until it comes back.</extracomment>
        <translation>Garde sa place pour son retour</translation>
    </message>
    <message>
        <source>Takes over if the active device disconnects</source>
        <translation>Prend le relais si le périphérique actif se déconnecte</translation>
    </message>
    <message>
        <source>The understudy</source>
        <extracomment>A connected device that waits behind others, ready to step in (theatre sense).</extracomment>
        <translation>La doublure</translation>
    </message>
    <message>
        <source>Unavailable — lid closed</source>
        <translation>Indisponible — écran rabattu</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Non connecté</translation>
    </message>
    <message>
        <source>Next in line</source>
        <extracomment>Status: the device that takes over when the active one goes.</extracomment>
        <translation>Prochain en lice</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Disponible</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>Renommer…</translation>
    </message>
    <message>
        <source>Never switch to this device</source>
        <translation>Ne jamais basculer vers ce périphérique</translation>
    </message>
    <message>
        <source>Allow switching to this device</source>
        <translation>Autoriser le basculement vers ce périphérique</translation>
    </message>
    <message>
        <source>Remove from list</source>
        <translation>Retirer de la liste</translation>
    </message>
    <message>
        <source>Connect</source>
        <extracomment>Menu item: connect a paired Bluetooth device.</extracomment>
        <translation>Connecter</translation>
    </message>
    <message>
        <source>, lid closed</source>
        <translation>, écran rabattu</translation>
    </message>
    <message>
        <source>Rank %1 of %2, %3</source>
        <extracomment>Read by screen readers: &quot;Rank 1 of 5, active&quot;; %3 is the card&apos;s status, lowercased.</extracomment>
        <translation>Rang %1 sur %2, %3</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Connexion…</translation>
    </message>
</context>
<context>
    <name>vantorelle::DevicePaneView</name>
    <message>
        <source>Input Devices</source>
        <translation>Périphériques d’entrée</translation>
    </message>
    <message>
        <source>The highest-ranked microphone that is connected becomes active. Reorder with the arrows.</source>
        <translation>Le micro connecté le mieux classé devient actif. Réordonnez avec les flèches.</translation>
    </message>
    <message>
        <source>No input devices yet.</source>
        <translation>Aucun périphérique d’entrée pour l’instant.</translation>
    </message>
    <message>
        <source>Auto-switch input</source>
        <translation>Changer d’entrée automatiquement</translation>
    </message>
    <message>
        <source>If the laptop&apos;s lid is closed, the built-in microphone becomes unavailable and the next device in the stack becomes active.</source>
        <translation>Quand l’écran du portable est rabattu, le micro intégré devient indisponible et le périphérique suivant de la pile devient actif.</translation>
    </message>
    <message>
        <source>Calls use the first available microphone below; everything else records from the default</source>
        <translation>Les appels utilisent le premier micro disponible ci-dessous ; le reste enregistre depuis le périphérique par défaut</translation>
    </message>
    <message>
        <source>No input devices for calls yet.</source>
        <translation>Aucun périphérique d’entrée pour les appels pour l’instant.</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Périphériques de sortie</translation>
    </message>
    <message>
        <source>Sound plays through the highest-ranked device that is connected. Reorder with the arrows.</source>
        <translation>Le son passe par le périphérique connecté le mieux classé. Réordonnez avec les flèches.</translation>
    </message>
    <message>
        <source>No output devices yet.</source>
        <translation>Aucun périphérique de sortie pour l’instant.</translation>
    </message>
    <message>
        <source>Auto-switch output</source>
        <translation>Changer de sortie automatiquement</translation>
    </message>
    <message>
        <source>When the active device disconnects, sound falls back to the next connected seat instantly — no clicks in the system&apos;s sound settings.</source>
        <extracomment>&quot;Seat&quot;: a place in the ranked list of devices.</extracomment>
        <translation>Quand le périphérique actif se déconnecte, le son passe aussitôt à la place connectée suivante — sans un clic dans les paramètres de son du système.</translation>
    </message>
    <message>
        <source>Calls play through the first available device below; all other sound stays on the default</source>
        <translation>Les appels passent par le premier périphérique disponible ci-dessous ; tout autre son reste sur le périphérique par défaut</translation>
    </message>
    <message>
        <source>No output devices for calls yet.</source>
        <translation>Aucun périphérique de sortie pour les appels pour l’instant.</translation>
    </message>
    <message>
        <source>Keeps the highest-ranked usable device active</source>
        <translation>Garde actif le périphérique utilisable le mieux classé</translation>
    </message>
    <message>
        <source>Use a different device for calls</source>
        <translation>Utiliser un autre périphérique pour les appels</translation>
    </message>
    <message>
        <source>Priority list</source>
        <translation>Liste de priorité</translation>
    </message>
    <message>
        <source>For calls</source>
        <translation>Pour les appels</translation>
    </message>
    <message>
        <source>Priority list for calls</source>
        <translation>Liste de priorité pour les appels</translation>
    </message>
</context>
<context>
    <name>vantorelle::MeterBar</name>
    <message>
        <source>Input level</source>
        <translation>Niveau d’entrée</translation>
    </message>
</context>
<context>
    <name>vantorelle::NotificationPreview</name>
    <message>
        <source>Notification preview</source>
        <translation>Aperçu de la notification</translation>
    </message>
</context>
<context>
    <name>vantorelle::Pane</name>
    <message>
        <source>Input Devices</source>
        <translation>Périphériques d’entrée</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Périphériques de sortie</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
</context>
<context>
    <name>vantorelle::PortalShortcuts</name>
    <message>
        <source>Next output</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next output device the default.</extracomment>
        <translation>Sortie suivante</translation>
    </message>
    <message>
        <source>Next input</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next input device the default.</extracomment>
        <translation>Entrée suivante</translation>
    </message>
</context>
<context>
    <name>vantorelle::SettingsPaneView</name>
    <message>
        <source>Could not change the login item. Install Vantorelle and start the installed copy for this.</source>
        <translation>Impossible de modifier le démarrage automatique. Installez Vantorelle et lancez la copie installée pour cela.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Notifications and how Vantorelle runs.</source>
        <translation>Les notifications et le fonctionnement de Vantorelle.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Calls applications</source>
        <translation>Applications d’appel</translation>
    </message>
    <message>
        <source>Input device switched</source>
        <translation>Périphérique d’entrée changé</translation>
    </message>
    <message>
        <source>Output device switched</source>
        <translation>Périphérique de sortie changé</translation>
    </message>
    <message>
        <source>When a higher-ranked microphone takes over or the current one disconnects</source>
        <translation>Quand un micro mieux classé prend le relais ou que l’actuel se déconnecte</translation>
    </message>
    <message>
        <source>When sound starts playing through a different device</source>
        <translation>Quand le son commence à passer par un autre périphérique</translation>
    </message>
    <message>
        <source>Device connected or removed</source>
        <translation>Périphérique connecté ou retiré</translation>
    </message>
    <message>
        <source>When any audio device appears or disappears, even if nothing switches</source>
        <translation>Quand un périphérique audio apparaît ou disparaît, même si rien ne change</translation>
    </message>
    <message>
        <source>Play sound</source>
        <translation>Émettre un son</translation>
    </message>
    <message>
        <source>A soft chime alongside each notification</source>
        <translation>Un léger carillon avec chaque notification</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>Starts Vantorelle in the background when you sign in</source>
        <translation>Lance Vantorelle en arrière-plan à l’ouverture de votre session</translation>
    </message>
    <message>
        <source>Could not save the settings. Changes last until Vantorelle quits.</source>
        <translation>Impossible d’enregistrer les paramètres. Les changements durent jusqu’à la fermeture de Vantorelle.</translation>
    </message>
    <message>
        <source>While a checked application both records from a microphone and plays, all of its sound is treated as a call, even when it does not say so itself.</source>
        <translation>Tant qu’une application cochée enregistre depuis un micro et lit du son, tout son son est traité comme un appel, même si elle ne l’indique pas elle-même.</translation>
    </message>
    <message>
        <source>Any application in a call</source>
        <translation>Toute application en appel</translation>
    </message>
    <message>
        <source>Treat every application that records from a microphone and plays at once as in a call</source>
        <translation>Traiter comme en appel toute application qui enregistre depuis un micro et lit du son en même temps</translation>
    </message>
</context>
<context>
    <name>vantorelle::SidebarView</name>
    <message>
        <source>Auto device switching</source>
        <translation>Bascule automatique des périphériques</translation>
    </message>
    <message>
        <source>Panes</source>
        <translation>Volets</translation>
    </message>
</context>
<context>
    <name>vantorelle::TrayMenu</name>
    <message>
        <source>Output</source>
        <extracomment>Tray menu section heading over the output devices (as in the desktop&apos;s sound settings).</extracomment>
        <translation>Sortie</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Entrée</translation>
    </message>
    <message>
        <source>Open Vantorelle</source>
        <translation>Ouvrir Vantorelle</translation>
    </message>
    <message>
        <source>Quit Vantorelle</source>
        <translation>Quitter Vantorelle</translation>
    </message>
    <message>
        <source>%1 (never automatic)</source>
        <extracomment>A device in the tray menu that the rule never switches to; it can still be picked here.</extracomment>
        <translation>%1 (jamais automatique)</translation>
    </message>
</context>
</TS>
